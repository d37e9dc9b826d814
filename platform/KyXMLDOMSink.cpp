#include "KyXMLDOMSink_p.h"

#include "KyXMLElement_p.h"
#include "KyXMLText_p.h"

#include <xercesc/dom/DOMAttr.hpp>
#include <xercesc/dom/DOMDocument.hpp>
#include <xercesc/dom/DOMNamedNodeMap.hpp>

using namespace xercesc;

void KyXMLDOMSink::start(const XMLCh* name) { open_ = kyAppendElement(name, *open_); }

void KyXMLDOMSink::attribute(const XMLCh* name, const XMLCh* value) {
  open_->setAttribute(name, value);
}

void KyXMLDOMSink::attribute(const XMLCh* name, std::wstring_view value) {
  open_->setAttribute(name, KyXMLText::toXML(value).c_str());
}

void KyXMLDOMSink::end() { open_ = static_cast<DOMElement*>(open_->getParentNode()); }

void KyXMLDOMSink::element(const DOMElement& element) {
  open_->appendChild(open_->getOwnerDocument()->importNode(&element, true));
}

void KyXMLDOMSink::content(const DOMElement& element) {
  if (const DOMNamedNodeMap* attributes = element.getAttributes())
    for (XMLSize_t i = 0; i < attributes->getLength(); ++i) {
      const auto* each = static_cast<const DOMAttr*>(attributes->item(i));
      open_->setAttribute(each->getName(), each->getValue());
    }
  for (const DOMNode* child = element.getFirstChild(); child != nullptr;
       child = child->getNextSibling())
    open_->appendChild(open_->getOwnerDocument()->importNode(child, true));
}
