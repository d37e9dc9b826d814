#include <kyanalysis/KyAnalysisConstraintXMLWriter.h>
#include <kyanalysis/KyClusteringConstraint.h>
#include <kyplatform/KyConstraintManagerXMLWriter.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyXMLHelper.h>
#include <kyplatform/KyXMLUtilities.h>

#include "KyClusteringConstraintXML_p.h"

using namespace KyClusteringConstraintXML;

KyAnalysisConstraintXMLWriter::~KyAnalysisConstraintXMLWriter() = default;

const wchar_t* KyAnalysisConstraintXMLWriter::pNameForConstraint(KyConstraint*) { return kElement; }

int KyAnalysisConstraintXMLWriter::populateDOMElement(xercesc::DOMElement& element) {
  const auto* constraint = dynamic_cast<const KyClusteringConstraint*>(pConstraint());
  if (constraint == nullptr)
    return fail(L"a constraint of the analysis service is not a clustering constraint");
  if (KyConstraintXMLWriter::populateDOMElement(element) == 0)
    return 0;
  KyXMLHelper::writeBooleanValue(*KyXMLUtilities::pCreateElement(kFulfilled, element),
                                 constraint->fulfilled());
  return writeClusteringConstraint(constraint, element);
}

int KyAnalysisConstraintXMLWriter::writeClusteringConstraint(
    const KyClusteringConstraint* constraint, xercesc::DOMElement& element) {
  // The manager is kept for a graph; a node of any other graph would be
  // written under an identifier that names nothing when read back.
  const auto* manager = dynamic_cast<const KyConstraintManagerXMLWriter*>(pParent());
  const auto* graph =
      manager != nullptr ? dynamic_cast<const KyGraph*>(manager->pOwner()) : nullptr;
  if (graph != nullptr)
    for (KyNodeDListIter it(constraint->pNodeList()); it; ++it)
      if (it.pNode()->pOwnerGraph() != graph)
        return fail(L"a node of a clustering constraint is not a node of the graph that "
                    L"holds its constraint manager");
  const int type = constraint->type();
  KyXMLHelper::writeValue(*KyXMLUtilities::pCreateElement(kType, element),
                          kTypeNames[type == 0 || type == 1 ? type : 2]);
  xercesc::DOMElement& list = *KyXMLUtilities::pCreateElement(kNodeList, element);
  for (KyNodeDListIter it(constraint->pNodeList()); it; ++it) {
    const wchar_t* id = pID(it.pNode());
    if (id == nullptr)
      return fail(L"a node of a clustering constraint has no identifier");
    KyXMLHelper::writeValue(*KyXMLUtilities::pCreateElement(kNodeRef, list), id);
  }
  return 1;
}
