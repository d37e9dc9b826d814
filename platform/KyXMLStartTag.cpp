#include <kyplatform/KyXMLStartTag.h>

#include "KyXMLElement_p.h"

#include <xercesc/dom/DOMAttr.hpp>
#include <xercesc/dom/DOMNamedNodeMap.hpp>
#include <xercesc/util/XMLString.hpp>

using namespace xercesc;

const XMLCh* KyXMLStartTag::pAttribute(const XMLCh* name) const {
  if (element_ != nullptr)
    return kyAttributeValue(*element_, name);
  const XMLSize_t count = attributes_->getLength();
  for (XMLSize_t i = 0; i < count; ++i)
    if (XMLString::equals(attributes_->getQName(i), name))
      return attributes_->getValue(i);
  return nullptr;
}

std::size_t KyXMLStartTag::attributeCount() const {
  if (element_ != nullptr)
    return element_->getAttributes()->getLength();
  return attributes_->getLength();
}

const XMLCh* KyXMLStartTag::pAttributeName(std::size_t index) const {
  if (element_ != nullptr)
    return element_->getAttributes()->item(index)->getNodeName();
  return attributes_->getQName(index);
}

const XMLCh* KyXMLStartTag::pAttributeValue(std::size_t index) const {
  if (element_ != nullptr)
    return kyAttributeText(*static_cast<const DOMAttr*>(element_->getAttributes()->item(index)));
  return attributes_->getValue(index);
}
