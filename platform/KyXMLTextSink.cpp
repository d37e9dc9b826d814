#include "KyXMLTextSink_p.h"

#include "KyXMLByteBlocks_p.h"
#include "KyXMLElement_p.h"

#include <kyplatform/KyUtf8.h>

#include <xercesc/dom/DOMAttr.hpp>
#include <xercesc/dom/DOMNamedNodeMap.hpp>

#include <algorithm>
#include <cstring>
#include <iterator>

using namespace xercesc;

namespace {
// The most bytes one character may become: "&quot;".
constexpr std::size_t kMostPerUnit = 6;

// How DOMLSSerializer writes each ASCII character: as is, escaped, or not at
// all (the stream fails).
enum class Ascii : unsigned char { plain, amp, lt, gt, quot, tab, lf, cr, refuse };

struct AsciiTable {
  Ascii attribute[128];
  Ascii text[128];
  Ascii name[128];
  constexpr AsciiTable() : attribute(), text(), name() {
    for (int c = 0; c < 128; ++c)
      attribute[c] = text[c] = name[c] = c < 0x20 ? Ascii::refuse : Ascii::plain;
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

// Appends the UTF-8 form of `c` at `end`; false for a character XML cannot
// carry.
bool putScalar(unsigned char*& end, char32_t c) {
  if (!KyUtf8::isScalarValue(c) || c == 0xFFFE || c == 0xFFFF)
    return false;
  end += KyUtf8::encode(c, reinterpret_cast<char*>(end));
  return true;
}

// Characters written as they are are copied in runs of up to this many,
// with one check of room for each run.
constexpr std::size_t kLongestRun = 256;

// True for a character that `table` writes as it is.
template <typename Char> bool isPlain(Char c, const Ascii* table) {
  const auto code = static_cast<char32_t>(c);
  return code < 0x80 && table[code] == Ascii::plain;
}

// Appends `text` as UTF-8 with the escapes of `table` to the bytes that
// `reserve(n)` makes room for and `end` points into. UTF-16 (XMLCh) and
// UTF-32 (wchar_t) text alike. Returns false on a character DOMLSSerializer
// would not write.
template <typename Char, typename Reserve>
bool putText(std::basic_string_view<Char> text, const Ascii* table, Reserve reserve,
             unsigned char*& end) {
  std::size_t i = 0;
  while (i < text.size()) {
    // Almost all text is plain ASCII: a run of it, then one character
    // that is escaped, encoded or refused.
    const std::size_t stop = i + std::min(text.size() - i, kLongestRun);
    reserve(stop - i + kMostPerUnit);
    // Through a local pointer: a store through `end` may alias anything,
    // which would reload the pointers for every character.
    unsigned char* out = end;
    for (; i < stop && isPlain(text[i], table); ++i)
      *out++ = static_cast<unsigned char>(text[i]);
    end = out;
    if (i == stop)
      continue;
    char32_t c = static_cast<char32_t>(text[i++]);
    if (c >= 0x80) {
      if constexpr (sizeof(Char) == 2) {
        if (c >= 0xD800 && c < 0xDC00 && i < text.size()) {
          const char32_t low = text[i];
          if (low >= 0xDC00 && low < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            ++i;
          }
        }
      }
      if (!putScalar(end, c))
        return false;
      continue;
    }
    switch (table[c]) {
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
    default: // refused; plain characters went with the run
      return false;
    }
  }
  return true;
}

bool startsWithXmlns(std::u16string_view name) { return name.substr(0, 5) == u"xmlns"; }

} // namespace

void KyXMLTextSink::put(const char* bytes, std::size_t length) {
  out_.reserve(length);
  std::memcpy(out_.pEnd(), bytes, length);
  out_.pEnd() += length;
}

void KyXMLTextSink::newLine(std::size_t depth) {
  out_.reserve(1 + 2 * depth);
  unsigned char*& end = out_.pEnd();
  *end++ = '\n';
  std::memset(end, ' ', 2 * depth);
  end += 2 * depth;
}

void KyXMLTextSink::flushStartTag() {
  // Attributes given in name order lie one after the other in texts_ and
  // go out at once.
  for (auto at = attributes_.begin(); at != attributes_.end();) {
    const std::size_t first = at->textAt;
    std::size_t length = 0;
    for (; at != attributes_.end() && at->textAt == first + length; ++at)
      length += at->textLength;
    put(texts_.data() + first, length);
  }
  attributes_.clear();
  names_.clear();
  textsUsed_ = 0;
}

void KyXMLTextSink::beginContent() {
  if (open_.empty() || open_.back().hasContent)
    return;
  flushStartTag();
  put(">", 1);
  open_.back().hasContent = true;
}

void KyXMLTextSink::declaration() {
  put(kyXMLDeclaration, sizeof kyXMLDeclaration - 1);
  if (indenting_)
    put("\n", 1);
}

void KyXMLTextSink::finish() {
  if (indenting_)
    put("\n", 1);
}

void KyXMLTextSink::start(const XMLCh* name) {
  beginContent();
  if (indenting_ && !open_.empty())
    newLine(open_.size());
  put("<", 1);
  const std::u16string_view nameText(name);
  unsigned char*& end = out_.pEnd();
  if (!putText(
          nameText, kAscii.name, [this](std::size_t size) { out_.reserve(size); }, end))
    fail(KyXMLStream::Failure::character);
  open_.push_back(Open{openNames_.size(), false});
  openNames_ += nameText;
  openNames_ += u'\0';
}

KyXMLTextSink::Attribute& KyXMLTextSink::attributeSlot(std::u16string_view name) {
  // Searched from the back: writers mostly give attributes in order.
  auto at = attributes_.end();
  for (; at != attributes_.begin(); --at) {
    const Attribute& before = *std::prev(at);
    const int order =
        name.compare(std::u16string_view(names_).substr(before.nameAt, before.nameLength));
    if (order == 0)
      return *std::prev(at);
    if (order > 0)
      break;
  }
  const std::size_t nameAt = names_.size();
  names_ += name;
  if (at == attributes_.end())
    return attributes_.emplace_back(Attribute{nameAt, name.size(), 0, 0});
  return *attributes_.insert(at, Attribute{nameAt, name.size(), 0, 0});
}

template <typename Char>
void KyXMLTextSink::setAttribute(const XMLCh* name, std::basic_string_view<Char> value) {
  const std::u16string_view nameText(name);
  Attribute& set = attributeSlot(nameText);
  // Room for the most the text can take, written in place. texts_ only
  // grows, so that the room is zero-filled once, not for every attribute.
  set.textAt = textsUsed_;
  const std::size_t most = textsUsed_ + 4 + kMostPerUnit * (nameText.size() + value.size());
  if (texts_.size() < most)
    texts_.resize(std::max(most, 2 * texts_.size()));
  auto* const start = reinterpret_cast<unsigned char*>(&texts_[set.textAt]);
  unsigned char* end = start;
  const auto room = [](std::size_t) {};
  *end++ = ' ';
  bool fits = putText(nameText, kAscii.name, room, end);
  *end++ = '=';
  *end++ = '"';
  fits = putText(value, kAscii.attribute, room, end) && fits;
  *end++ = '"';
  if (!fits)
    fail(KyXMLStream::Failure::character);
  set.textLength = static_cast<std::size_t>(end - start);
  textsUsed_ += set.textLength;
}

void KyXMLTextSink::attribute(const XMLCh* name, const XMLCh* value) {
  setAttribute(name, std::u16string_view(value));
}

void KyXMLTextSink::attribute(const XMLCh* name, std::wstring_view value) {
  setAttribute(name, value);
}

void KyXMLTextSink::end() {
  const Open closed = open_.back();
  if (!closed.hasContent) {
    flushStartTag();
    put("/>", 2);
  } else {
    if (indenting_)
      newLine(open_.size() - 1);
    put("</", 2);
    unsigned char*& end = out_.pEnd();
    putText(
        std::u16string_view(openNames_.data() + closed.nameAt), kAscii.name,
        [this](std::size_t size) { out_.reserve(size); }, end);
    put(">", 1);
  }
  open_.pop_back();
  openNames_.resize(closed.nameAt);
}

void KyXMLTextSink::element(const DOMElement& element) { walk(element, false); }

void KyXMLTextSink::content(const DOMElement& element) {
  if (element.getNamespaceURI() != nullptr)
    fail(KyXMLStream::Failure::form);
  if (const DOMNamedNodeMap* attributes = element.getAttributes())
    for (XMLSize_t i = 0; i < attributes->getLength(); ++i) {
      const auto* each = static_cast<const DOMAttr*>(attributes->item(i));
      if (!each->getSpecified() || each->getNamespaceURI() != nullptr ||
          startsWithXmlns(each->getName()))
        fail(KyXMLStream::Failure::form);
      attribute(each->getName(), kyAttributeText(*each));
    }
  if (const DOMNode* first = element.getFirstChild())
    walk(*first, true);
}

void KyXMLTextSink::walk(const DOMNode& first, bool siblings) {
  for (const DOMNode* node = &first; node != nullptr;
       node = siblings ? node->getNextSibling() : nullptr) {
    if (node->getNodeType() == DOMNode::ELEMENT_NODE) {
      const auto& element = static_cast<const DOMElement&>(*node);
      start(element.getTagName());
      content(element);
      end();
    } else if (node->getNodeType() == DOMNode::TEXT_NODE && !indenting_) {
      beginContent();
      unsigned char*& end = out_.pEnd();
      if (!putText(
              std::u16string_view(node->getNodeValue()), kAscii.text,
              [this](std::size_t size) { out_.reserve(size); }, end))
        fail(KyXMLStream::Failure::character);
    } else {
      fail(KyXMLStream::Failure::form);
    }
  }
}

const XMLCh* KyXMLTextSink::pOpenName() const {
  return open_.empty() ? u"" : openNames_.data() + open_.back().nameAt;
}
