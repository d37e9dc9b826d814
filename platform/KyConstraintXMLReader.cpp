#include <kyplatform/KyConstraint.h>
#include <kyplatform/KyConstraintXMLReader.h>

#include "KyXMLText_p.h"

#include <xercesc/dom/DOMAttr.hpp>

KyConstraintXMLReader::~KyConstraintXMLReader() = default;

KyConstraint* KyConstraintXMLReader::pConstraint() const {
  return dynamic_cast<KyConstraint*>(pTarget());
}

int KyConstraintXMLReader::processDOMElement(const xercesc::DOMElement& element) {
  const std::wstring elementName = KyXMLText::toWide(element.getTagName());
  KyConstraint* constraint = pCreateConstraint(elementName.c_str());
  pTarget(constraint);
  if (constraint == nullptr)
    return fail(L"no constraint is made from an element \"" + elementName + L"\"");
  long priority = 0;
  if (const xercesc::DOMAttr* text = element.getAttributeNode(u"priority"))
    if (!KyXMLText::parseInteger(KyXMLText::toWide(text->getValue()), priority)) {
      pTarget(nullptr);
      delete constraint;
      return fail(L"the constraint priority \"" + KyXMLText::toWide(text->getValue()) +
                  L"\" is not a whole number");
    }
  const std::wstring name = KyXMLText::toWide(element.getAttribute(u"name"));
  // The name is fixed when a constraint is made; the base part of a copy
  // carries both.
  const KyConstraint common(priority, name.c_str());
  constraint->KyConstraint::copyAttributes(&common);
  return 1;
}

KyConstraint* KyConstraintXMLReader::pCreateConstraint(const wchar_t*) {
  return new KyConstraint(0, nullptr);
}
