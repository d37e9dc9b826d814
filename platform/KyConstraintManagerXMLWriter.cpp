#include <kyplatform/KyConstraint.h>
#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyConstraintManagerXMLWriter.h>
#include <kyplatform/KyConstraintXMLWriter.h>
#include <kyplatform/KyXMLStream.h>

#include "KyXMLElement_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

KyConstraintManagerXMLWriter::~KyConstraintManagerXMLWriter() = default;

KyConstraintManager* KyConstraintManagerXMLWriter::pConstraintManager() const {
  return dynamic_cast<KyConstraintManager*>(pTarget());
}

int KyConstraintManagerXMLWriter::populateDOMElement(xercesc::DOMElement& element) {
  KyXMLStream out(element);
  return writeElement(out);
}

int KyConstraintManagerXMLWriter::writeElement(KyXMLStream& out) {
  const KyConstraintManager* manager = pConstraintManager();
  if (manager == nullptr)
    return fail(L"no constraint manager to write");
  if (owner_ != nullptr)
    out.attribute(u"parent", pID(owner_));
  for (KyDListIter it(manager->pConstraintList()); it; ++it) {
    if (constraintWriter_ == nullptr)
      return fail(L"no writer for constraints");
    // Each constraint is made as a DOM element by the constraint writer,
    // in a document of its own that goes once its element is written.
    KyConstraint* constraint = KyConstraint::castDown(it.pObject());
    const KyOwnedDocument scratch = kyScratchDocument(
        KyXMLText::toXML(constraintWriter_->pNameForConstraint(constraint)).c_str());
    xercesc::DOMElement* child = scratch->getDocumentElement();
    KyHandlerScope<KyXMLWriter> scope(*constraintWriter_, this, constraint);
    if (constraintWriter_->populateDOMElement(*child) == 0)
      return 0;
    out.element(*child);
  }
  return 1;
}
