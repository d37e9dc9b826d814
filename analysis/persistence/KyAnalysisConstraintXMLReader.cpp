#include <kyanalysis/KyAnalysisConstraintXMLReader.h>
#include <kyanalysis/KyClusteringConstraint.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyXMLHelper.h>
#include <kyplatform/KyXMLUtilities.h>

#include "KyClusteringConstraintXML_p.h"

#include <xercesc/dom/DOMNode.hpp>

#include <cwchar>

using namespace KyClusteringConstraintXML;

KyAnalysisConstraintXMLReader::~KyAnalysisConstraintXMLReader() = default;

KyConstraint* KyAnalysisConstraintXMLReader::pCreateConstraint(const wchar_t*) {
  return new KyClusteringConstraint(0, nullptr);
}

int KyAnalysisConstraintXMLReader::processDOMElement(const xercesc::DOMElement& element) {
  if (KyConstraintXMLReader::processDOMElement(element) == 0)
    return 0;
  auto* constraint = KyClusteringConstraint::castDown(pConstraint());
  // parseBooleanValue() reads a missing element as false.
  constraint->fulfilled(
      KyXMLHelper::parseBooleanValue(KyXMLUtilities::pFindElement(element, kFulfilled)));
  readClusteringConstraint(constraint, element);
  return 1;
}

void KyAnalysisConstraintXMLReader::readClusteringConstraint(KyClusteringConstraint* constraint,
                                                             const xercesc::DOMElement& element) {
  if (const xercesc::DOMElement* list = KyXMLUtilities::pFindElement(element, kNodeList))
    for (const xercesc::DOMNode* child = list->getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
      if (child->getNodeType() != xercesc::DOMNode::ELEMENT_NODE ||
          KyXMLUtilities::compareString(kNodeRef, child) != 0)
        continue;
      const auto& ref = *static_cast<const xercesc::DOMElement*>(child);
      // A reference to nothing, or to an edge or a graph, is skipped.
      if (auto* node = dynamic_cast<KyNode*>(pElementObject(kValue, ref)))
        constraint->addNode(node);
    }

  const xercesc::DOMElement* typeElement = KyXMLUtilities::pFindElement(element, kType);
  if (typeElement == nullptr)
    return;
  wchar_t* name = KyXMLHelper::parseStringValue(typeElement);
  for (int type = 0; type < 3; ++type)
    if (std::wcscmp(name, kTypeNames[type]) == 0) {
      constraint->type(static_cast<KyClusteringConstraintTypeEnum>(type));
      break;
    }
  KyXMLUtilities::releaseString(name);
}
