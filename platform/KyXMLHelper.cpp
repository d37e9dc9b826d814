#include <kyplatform/KyXMLHelper.h>

#include "KyXMLText_p.h"

#include <algorithm>

namespace {
constexpr XMLCh kValue[] = u"value";
}

void KyXMLHelper::writeValue(xercesc::DOMElement& element, const wchar_t* text) {
  element.setAttribute(kValue, KyXMLText::toXML(text).c_str());
}

wchar_t* KyXMLHelper::parseStringValue(const xercesc::DOMElement* element) {
  if (element == nullptr)
    return nullptr;
  const std::wstring value = KyXMLText::toWide(element->getAttribute(kValue));
  auto* copy = new wchar_t[value.size() + 1];
  std::copy(value.c_str(), value.c_str() + value.size() + 1, copy);
  return copy;
}

void KyXMLHelper::writeBooleanValue(xercesc::DOMElement& element, int value) {
  writeValue(element, value != 0 ? L"true" : L"false");
}

int KyXMLHelper::parseBooleanValue(const xercesc::DOMElement* element) {
  return element != nullptr && KyXMLText::compare(element->getAttribute(kValue), L"true") == 0 ? 1
                                                                                               : 0;
}
