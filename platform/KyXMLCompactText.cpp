#include "KyXMLCompactText_p.h"
#include "KyXMLElement_p.h"

#include <xercesc/dom/DOMAttr.hpp>
#include <xercesc/dom/DOMElement.hpp>
#include <xercesc/dom/DOMNamedNodeMap.hpp>

#include <algorithm>
#include <cstring>

using namespace xercesc;

namespace {
constexpr std::size_t kBlock = std::size_t(1) << 20;
// The most bytes one UTF-16 unit (or a surrogate pair) may become: "&quot;".
constexpr std::size_t kMostPerUnit = 6;

void putBytes(KyXMLByteBlocks& out, const char* bytes, std::size_t length) {
  out.reserve(length);
  std::memcpy(out.pEnd(), bytes, length);
  out.pEnd() += length;
}

template <std::size_t N> void putLiteral(KyXMLByteBlocks& out, const char (&text)[N]) {
  putBytes(out, text, N - 1);
}

// How DOMLSSerializer writes each ASCII unit: as is, escaped, or not at all
// (then the document goes to it).
enum class Ascii : unsigned char { plain, amp, lt, gt, quot, tab, lf, cr, refuse };

struct AsciiTable {
  Ascii attribute[128];
  Ascii text[128];
  constexpr AsciiTable() : attribute(), text() {
    for (int c = 0; c < 128; ++c) {
      attribute[c] = text[c] = c < 0x20 ? Ascii::refuse : Ascii::plain;
    }
    // Attribute values: & < " and the three white-space controls.
    attribute[int{'&'}] = Ascii::amp;
    attribute[int{'<'}] = Ascii::lt;
    attribute[int{'"'}] = Ascii::quot;
    attribute[int{'\t'}] = Ascii::tab;
    attribute[int{'\n'}] = Ascii::lf;
    attribute[int{'\r'}] = Ascii::cr;
    // Text: & < > and CR; tab and LF as they are.
    text[int{'&'}] = Ascii::amp;
    text[int{'<'}] = Ascii::lt;
    text[int{'>'}] = Ascii::gt;
    text[int{'\t'}] = Ascii::plain;
    text[int{'\n'}] = Ascii::plain;
    text[int{'\r'}] = Ascii::cr;
  }
};
constexpr AsciiTable kAscii;

// Writes `text` as UTF-8 with the escapes of `table` (null: no escapes, for
// names). Returns false on a unit DOMLSSerializer would not write as is.
bool putText(KyXMLByteBlocks& out, const XMLCh* text, const Ascii* table) {
  if (text == nullptr)
    return true;
  for (const XMLCh* p = text; *p != 0; ++p) {
    out.reserve(kMostPerUnit);
    unsigned char*& end = out.pEnd();
    const char32_t c = *p;
    if (c < 0x80) {
      const Ascii kind = table != nullptr ? table[c] : (c < 0x20 ? Ascii::refuse : Ascii::plain);
      switch (kind) {
      case Ascii::plain:
        *end++ = static_cast<unsigned char>(c);
        break;
      case Ascii::amp:
        std::memcpy(end, "&amp;", 5), end += 5;
        break;
      case Ascii::lt:
        std::memcpy(end, "&lt;", 4), end += 4;
        break;
      case Ascii::gt:
        std::memcpy(end, "&gt;", 4), end += 4;
        break;
      case Ascii::quot:
        std::memcpy(end, "&quot;", 6), end += 6;
        break;
      case Ascii::tab:
        std::memcpy(end, "&#x9;", 5), end += 5;
        break;
      case Ascii::lf:
        std::memcpy(end, "&#xA;", 5), end += 5;
        break;
      case Ascii::cr:
        std::memcpy(end, "&#xD;", 5), end += 5;
        break;
      case Ascii::refuse:
        return false;
      }
    } else if (c < 0x800) {
      *end++ = static_cast<unsigned char>(0xC0 | (c >> 6));
      *end++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else if (c >= 0xD800 && c < 0xE000) {
      const char32_t low = p[1];
      if (c >= 0xDC00 || low < 0xDC00 || low >= 0xE000)
        return false;
      const char32_t scalar = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      *end++ = static_cast<unsigned char>(0xF0 | (scalar >> 18));
      *end++ = static_cast<unsigned char>(0x80 | ((scalar >> 12) & 0x3F));
      *end++ = static_cast<unsigned char>(0x80 | ((scalar >> 6) & 0x3F));
      *end++ = static_cast<unsigned char>(0x80 | (scalar & 0x3F));
      ++p;
    } else if (c >= 0xFFFE) {
      return false;
    } else {
      *end++ = static_cast<unsigned char>(0xE0 | (c >> 12));
      *end++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
      *end++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
  }
  return true;
}

bool startsWithXmlns(const XMLCh* name) {
  static constexpr XMLCh kXmlns[] = u"xmlns";
  for (int i = 0; i < 5; ++i)
    if (name[i] != kXmlns[i])
      return false;
  return true;
}

// Writes the start tag of `element` with its attributes, up to the closing
// ">" or "/>".
bool putStartTag(KyXMLByteBlocks& out, const DOMElement& element, bool empty) {
  if (element.getNamespaceURI() != nullptr)
    return false;
  putLiteral(out, "<");
  if (!putText(out, element.getTagName(), nullptr))
    return false;
  if (const DOMNamedNodeMap* attributes = element.getAttributes()) {
    const XMLSize_t count = attributes->getLength();
    for (XMLSize_t i = 0; i < count; ++i) {
      const auto* attribute = static_cast<const DOMAttr*>(attributes->item(i));
      const XMLCh* name = attribute->getName();
      if (!attribute->getSpecified() || attribute->getNamespaceURI() != nullptr ||
          startsWithXmlns(name))
        return false;
      putLiteral(out, " ");
      if (!putText(out, name, nullptr))
        return false;
      putLiteral(out, "=\"");
      if (!putText(out, kyAttributeText(*attribute), kAscii.attribute))
        return false;
      putLiteral(out, "\"");
    }
  }
  if (empty)
    putLiteral(out, "/>");
  else
    putLiteral(out, ">");
  return true;
}
} // namespace

std::size_t KyXMLByteBlocks::size() const {
  std::size_t total = lastUsed();
  for (std::size_t i = 0; i + 1 < blocks_.size(); ++i)
    total += used_[i];
  return total;
}

void KyXMLByteBlocks::grow(std::size_t size) {
  if (!blocks_.empty())
    used_.push_back(lastUsed());
  const std::size_t capacity = std::max(kBlock, size);
  blocks_.push_back(std::make_unique<unsigned char[]>(capacity));
  end_ = blocks_.back().get();
  limit_ = end_ + capacity;
}

void KyXMLByteBlocks::append(const unsigned char* bytes, std::size_t length) {
  reserve(length);
  std::memcpy(end_, bytes, length);
  end_ += length;
}

unsigned char* KyXMLByteBlocks::release(const char* prefix, const char* suffix) {
  const std::size_t before = std::strlen(prefix);
  const std::size_t after = std::strlen(suffix);
  const std::size_t total = before + size() + after;
  auto* bytes = new unsigned char[total + 1];
  unsigned char* out = bytes;
  std::memcpy(out, prefix, before);
  out += before;
  for (std::size_t i = 0; i < blocks_.size(); ++i) {
    const std::size_t used = i + 1 < blocks_.size() ? used_[i] : lastUsed();
    std::memcpy(out, blocks_[i].get(), used);
    out += used;
    blocks_[i].reset();
  }
  std::memcpy(out, suffix, after);
  out += after;
  *out = 0;
  blocks_.clear();
  used_.clear();
  end_ = limit_ = nullptr;
  return bytes;
}

bool kyWriteCompactXML(const DOMDocument& document, KyXMLByteBlocks& out) {
  const DOMElement* root = document.getDocumentElement();
  if (root == nullptr || document.getFirstChild() != root || root->getNextSibling() != nullptr)
    return false;
  putLiteral(out, kyXMLDeclaration);
  return kyWriteCompactElement(*root, out);
}

bool kyWriteCompactElement(const DOMElement& top, KyXMLByteBlocks& out) {
  // The elements whose end tags are still due, innermost last.
  std::vector<const DOMElement*> open;
  const DOMNode* node = &top;
  while (node != nullptr) {
    switch (node->getNodeType()) {
    case DOMNode::ELEMENT_NODE: {
      const auto* element = static_cast<const DOMElement*>(node);
      const DOMNode* first = element->getFirstChild();
      if (!putStartTag(out, *element, first == nullptr))
        return false;
      if (first != nullptr) {
        open.push_back(element);
        node = first;
        continue;
      }
      break;
    }
    case DOMNode::TEXT_NODE:
      if (!putText(out, node->getNodeValue(), kAscii.text))
        return false;
      break;
    default:
      return false;
    }
    // On to the next sibling, closing the elements left on the way up; the
    // walk ends with `top`, whose siblings are not written.
    const DOMNode* next = node != &top ? node->getNextSibling() : nullptr;
    while (next == nullptr && !open.empty()) {
      const DOMElement* closed = open.back();
      open.pop_back();
      putLiteral(out, "</");
      putText(out, closed->getTagName(), nullptr);
      putLiteral(out, ">");
      next = closed != &top ? closed->getNextSibling() : nullptr;
    }
    node = next;
  }
  return true;
}
