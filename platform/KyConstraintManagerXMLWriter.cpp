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
  // Each constraint is made as a DOM element by the constraint writer, in
  // a scratch document made with the first. Elements stay in it once
  // written: dropping a document whole costs far less than handing each
  // element back node by node. A new document follows every
  // kConstraintsPerDocument constraints, so the room a write takes stays
  // bounded however many constraints there are.
  constexpr int kConstraintsPerDocument = 256;
  KyOwnedDocument scratch;
  int made = 0;
  for (KyDListIter it(manager->pConstraintList()); it; ++it) {
    if (constraintWriter_ == nullptr)
      return fail(L"no writer for constraints");
    KyConstraint* constraint = KyConstraint::castDown(it.pObject());
    const KyXMLString name = KyXMLText::toXML(constraintWriter_->pNameForConstraint(constraint));
    if (made++ % kConstraintsPerDocument == 0)
      scratch = kyEmptyDocument();
    xercesc::DOMElement* child = scratch->createElement(name.c_str());
    KyHandlerScope<KyXMLWriter> scope(*constraintWriter_, this, constraint);
    if (constraintWriter_->populateDOMElement(*child) == 0)
      return 0;
    out.element(*child);
  }
  return 1;
}
