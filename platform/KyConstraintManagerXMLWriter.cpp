#include <kyplatform/KyConstraint.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyConstraintManagerXMLWriter.h>
#include <kyplatform/KyConstraintXMLWriter.h>
#include <kyplatform/KyXMLUtilities.h>

#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

KyConstraintManagerXMLWriter::~KyConstraintManagerXMLWriter() = default;

KyConstraintManager* KyConstraintManagerXMLWriter::pConstraintManager() const {
  return dynamic_cast<KyConstraintManager*>(pTarget());
}

int KyConstraintManagerXMLWriter::populateDOMElement(xercesc::DOMElement& element) {
  const KyConstraintManager* manager = pConstraintManager();
  if (manager == nullptr)
    return fail(L"no constraint manager to write");
  if (owner_ != nullptr)
    element.setAttribute(u"parent", KyXMLText::toXML(pID(owner_)).c_str());
  for (KyDListIter it(manager->pConstraintList()); it; ++it) {
    if (constraintWriter_ == nullptr)
      return fail(L"no writer for constraints");
    KyConstraint* constraint = KyConstraint::castDown(it.pObject());
    xercesc::DOMElement* child =
        KyXMLUtilities::pCreateElement(constraintWriter_->pNameForConstraint(constraint), element);
    KyHandlerScope<KyXMLWriter> scope(*constraintWriter_, this, constraint);
    if (constraintWriter_->populateDOMElement(*child) == 0)
      return 0;
  }
  return 1;
}
