#include <kyplatform/KyXMLReader.h>
#include <kyplatform/KyXMLStartTag.h>

#include "KyXMLElement_p.h"
#include "KyXMLFragment_p.h"
#include "KyXMLText_p.h"

#include <xercesc/dom/DOMAttr.hpp>
#include <xercesc/dom/DOMText.hpp>

#include <vector>

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

KyObject* KyXMLReader::pElementObject(const wchar_t* attribute, const KyXMLStartTag& tag) const {
  const KyXMLString name = KyXMLText::toXML(attribute);
  const XMLCh* value = tag.pAttribute(name.c_str());
  return value != nullptr ? pObject(KyXMLText::toWide(value).c_str()) : nullptr;
}

int KyXMLReader::readsStream() const { return 0; }

int KyXMLReader::startElement(const KyXMLStartTag&, int) { return 1; }

int KyXMLReader::characters(const XMLCh*, std::size_t, int) { return 1; }

int KyXMLReader::endElement(int) { return 1; }

int KyXMLReader::finishRead(int complete) { return complete; }

int KyXMLReader::readAsStream(const xercesc::DOMElement& element) {
  const int replayed = kyReplay(*this, element);
  return finishRead(replayed) != 0 ? replayed : 0;
}

int KyXMLReader::fail(const std::wstring& message) {
  KyXMLReader* root = this;
  while (root->parent_ != nullptr)
    root = root->parent_;
  if (root->failure_.empty())
    root->failure_ = message;
  return 0;
}

int kyReplay(KyXMLReader& reader, const xercesc::DOMElement& element) {
  using xercesc::DOMNode;
  // A walk without recursion: deep documents must not exhaust the stack.
  const DOMNode* node = &element;
  int depth = 0;
  while (node != nullptr) {
    const DOMNode* next = nullptr;
    if (node->getNodeType() == DOMNode::ELEMENT_NODE) {
      if (reader.startElement(KyXMLStartTag(static_cast<const xercesc::DOMElement&>(*node)),
                              depth) == 0)
        return 0;
      next = node->getFirstChild();
      if (next != nullptr) {
        ++depth;
        node = next;
        continue;
      }
      if (reader.endElement(depth) == 0)
        return 0;
    } else if (node->getNodeType() == DOMNode::TEXT_NODE) {
      const XMLCh* text = node->getNodeValue();
      if (reader.characters(text, std::char_traits<XMLCh>::length(text), depth - 1) == 0)
        return 0;
    }
    // On to the next sibling, ending the elements left on the way up.
    next = node != &element ? node->getNextSibling() : nullptr;
    while (next == nullptr && depth > 0) {
      node = node->getParentNode();
      --depth;
      if (reader.endElement(depth) == 0)
        return 0;
      next = node != &element ? node->getNextSibling() : nullptr;
    }
    node = next;
  }
  return 1;
}
