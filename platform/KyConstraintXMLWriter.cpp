#include <kyplatform/KyConstraint.h>
#include <kyplatform/KyConstraintXMLWriter.h>

#include "KyXMLText_p.h"

KyConstraintXMLWriter::~KyConstraintXMLWriter() = default;

KyConstraint* KyConstraintXMLWriter::pConstraint() const {
  return dynamic_cast<KyConstraint*>(pTarget());
}

int KyConstraintXMLWriter::populateDOMElement(xercesc::DOMElement& element) {
  const KyConstraint* constraint = pConstraint();
  if (constraint == nullptr)
    return fail(L"no constraint to write");
  element.setAttribute(u"priority",
                       KyXMLText::toXML(KyXMLText::formatInteger(constraint->priority())).c_str());
  element.setAttribute(u"name", KyXMLText::toXML(constraint->pName()).c_str());
  return 1;
}

const wchar_t* KyConstraintXMLWriter::pNameForConstraint(KyConstraint*) { return L"constraint"; }
