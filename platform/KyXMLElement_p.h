// Element making for the platform's own writers, which name elements with
// Xerces text directly. Internal to the platform library.
#pragma once

#include <xercesc/dom/DOMAttr.hpp>
#include <xercesc/dom/DOMDocument.hpp>
#include <xercesc/dom/DOMElement.hpp>
#include <xercesc/dom/DOMImplementation.hpp>
#include <xercesc/dom/DOMImplementationRegistry.hpp>

#include <memory>

struct KyDOMDocumentRelease {
  void operator()(xercesc::DOMDocument* document) const { document->release(); }
};
/// A DOM document freed with its owner.
using KyOwnedDocument = std::unique_ptr<xercesc::DOMDocument, KyDOMDocumentRelease>;

/// A new document without a document element, to make elements in that
/// need no parent.
inline KyOwnedDocument kyEmptyDocument() {
  return KyOwnedDocument(
      xercesc::DOMImplementationRegistry::getDOMImplementation(u"LS")->createDocument());
}

/// A new document whose document element is named `name`, for DOM writers
/// that fill one element at a time; get it with getDocumentElement().
inline KyOwnedDocument kyScratchDocument(const XMLCh* name) {
  KyOwnedDocument document = kyEmptyDocument();
  document->appendChild(document->createElement(name));
  return document;
}

/// A new element named `name`, appended as the last child of `parent`.
inline xercesc::DOMElement* kyAppendElement(const XMLCh* name, xercesc::DOMElement& parent) {
  xercesc::DOMElement* child = parent.getOwnerDocument()->createElement(name);
  parent.appendChild(child);
  return child;
}

/// The value of `attribute`. A value made by setAttribute() or by the parser
/// is one text child, read here without the cast that getValue() makes on
/// every call; anything else goes to getValue().
inline const XMLCh* kyAttributeText(const xercesc::DOMAttr& attribute) {
  static constexpr XMLCh kEmpty[] = u"";
  const xercesc::DOMNode* first = attribute.getFirstChild();
  if (first == nullptr)
    return kEmpty;
  if (first->getNextSibling() == nullptr && first->getNodeType() == xercesc::DOMNode::TEXT_NODE)
    return first->getNodeValue();
  return attribute.getValue();
}

/// The value of the attribute `name` of `element`, or null when it has none.
inline const XMLCh* kyAttributeValue(const xercesc::DOMElement& element, const XMLCh* name) {
  const xercesc::DOMAttr* attribute = element.getAttributeNode(name);
  return attribute != nullptr ? kyAttributeText(*attribute) : nullptr;
}

/// As getAttribute(): the value, or the empty text when there is none.
inline const XMLCh* kyAttributeOrEmpty(const xercesc::DOMElement& element, const XMLCh* name) {
  static constexpr XMLCh kEmpty[] = u"";
  const XMLCh* value = kyAttributeValue(element, name);
  return value != nullptr ? value : kEmpty;
}
