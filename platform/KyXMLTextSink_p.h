// KyXMLTextSink: a stream's elements written as the text of the document.
// Internal to the platform library.
#pragma once

#include "KyXMLSink_p.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class KyXMLByteBlocks;

/// Writes what the stream is handed as UTF-8 text, on one line or indented
/// as DOMLSSerializer lays a document out, byte for byte what it makes of
/// the same DOM. Attributes are kept until the element's content begins
/// and then written sorted by name, as the DOM keeps them; setting one
/// twice keeps the later value. Whole DOM elements are walked and written
/// the same way.
///
/// Text that XML cannot carry (a control character, an unpaired surrogate,
/// U+FFFE, U+FFFF) fails with Failure::character; DOM elements holding
/// anything but elements, attributes and text without namespaces, or text
/// in an indented document, which the text form leaves to DOMLSSerializer,
/// with Failure::form. Writing goes on regardless. Cost O(length of what is
/// written); runs of plain ASCII are copied with one check of room each.
class KyXMLTextSink final : public KyXMLSink {
public:
  /// The text appended to `out`, which stays the caller's.
  KyXMLTextSink(KyXMLByteBlocks& out, bool indenting) : out_(out), indenting_(indenting) {}

  void declaration() override;
  void finish() override;
  void start(const XMLCh* name) override;
  void attribute(const XMLCh* name, const XMLCh* value) override;
  void attribute(const XMLCh* name, std::wstring_view value) override;
  void end() override;
  void element(const xercesc::DOMElement& element) override;
  void content(const xercesc::DOMElement& element) override;
  const XMLCh* pOpenName() const override;
  xercesc::DOMElement* pOpenElement() const override { return nullptr; }

private:
  struct Attribute {
    std::size_t nameAt; // in names_
    std::size_t nameLength;
    std::size_t textAt; // in texts_: ' name="value"', escaped UTF-8
    std::size_t textLength;
  };
  struct Open {
    std::size_t nameAt; // in openNames_, zero-terminated
    bool hasContent;
  };

  Attribute& attributeSlot(std::u16string_view name);
  template <typename Char> void setAttribute(const XMLCh* name, std::basic_string_view<Char> value);
  void beginContent();
  void flushStartTag();
  void newLine(std::size_t depth);
  void put(const char* bytes, std::size_t length);
  void walk(const xercesc::DOMNode& first, bool siblings);

  KyXMLByteBlocks& out_;
  bool indenting_;
  std::vector<Open> open_;
  std::u16string openNames_;          // of the open elements, one after the other
  std::vector<Attribute> attributes_; // of the element opened last, by name
  std::u16string names_;              // their names
  std::string texts_;                 // room for their text as written
  std::size_t textsUsed_ = 0;         // bytes of texts_ in use
};
