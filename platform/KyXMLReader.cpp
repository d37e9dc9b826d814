#include <kyplatform/KyXMLReader.h>

#include "KyXMLElement_p.h"
#include "KyXMLText_p.h"

#include <xercesc/dom/DOMAttr.hpp>

KyXMLReader::~KyXMLReader() = default;

int KyXMLReader::setID(const wchar_t* id, KyObject* object) {
  return parent_ != nullptr ? parent_->setID(id, object) : 0;
}

KyObject* KyXMLReader::pObject(const wchar_t* id) const {
  return parent_ != nullptr ? parent_->pObject(id) : nullptr;
}

int KyXMLReader::processDOMElement(const xercesc::DOMElement&) { return 1; }

KyObject* KyXMLReader::pElementObject(const wchar_t* attribute,
                                      const xercesc::DOMElement& element) const {
  const KyXMLString name = KyXMLText::toXML(attribute);
  const XMLCh* value = kyAttributeValue(element, name.c_str());
  return value != nullptr ? pObject(KyXMLText::toWide(value).c_str()) : nullptr;
}

int KyXMLReader::fail(const std::wstring& message) {
  KyXMLReader* root = this;
  while (root->parent_ != nullptr)
    root = root->parent_;
  if (root->failure_.empty())
    root->failure_ = message;
  return 0;
}
