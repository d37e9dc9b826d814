// KyXMLStartTag: the name and attributes of an element being read.
#pragma once

#include <kyplatform/KyPlatformExport.h>

#include <xercesc/dom/DOMElement.hpp>
#include <xercesc/sax2/Attributes.hpp>

#include <cstddef>

/// The start tag of an element that a streaming reader is handed: its name
/// and attributes, as the parser delivers them or as a DOM element holds
/// them. It refers to them and is valid for the length of the call it is
/// handed to.
class KYPLATFORM_EXPORT KyXMLStartTag {
public:
  KyXMLStartTag(const XMLCh* name, const xercesc::Attributes& attributes)
      : name_(name), attributes_(&attributes) {}
  explicit KyXMLStartTag(const xercesc::DOMElement& element)
      : name_(element.getTagName()), element_(&element) {}

  const XMLCh* pName() const { return name_; }
  /// The value of the attribute `name`, or null when the tag has none.
  /// Cost O(number of attributes).
  const XMLCh* pAttribute(const XMLCh* name) const;
  std::size_t attributeCount() const;
  /// The name and value of the attribute at `index` (below attributeCount()).
  const XMLCh* pAttributeName(std::size_t index) const;
  const XMLCh* pAttributeValue(std::size_t index) const;

private:
  const XMLCh* name_;
  const xercesc::Attributes* attributes_ = nullptr;
  const xercesc::DOMElement* element_ = nullptr;
};
