// KyXMLStream: where writers put the elements of a document, one by one.
#pragma once

#include <kyplatform/KyPlatformExport.h>

#include <xercesc/dom/DOMElement.hpp>

#include <memory>
#include <string_view>

class KyXMLByteBlocks;
class KyXMLSink;

/// The elements of a document being written, in document order: either
/// the text itself (UTF-8, on one line or indented as DOMLSSerializer lays
/// it out, byte for byte) or elements appended to a DOM element. The stream
/// hands every call to the back-end it was made with, one call per
/// element or attribute.
///
/// A writer opens an element with start(), gives it attributes, writes
/// what it holds and closes it with end(). Attributes are kept until the
/// element's content begins and then written sorted by name, as the DOM
/// keeps them; setting one twice keeps the later value. Whole DOM elements
/// made by DOM writers go in with element().
///
/// Text that XML cannot carry (a control character, an unpaired surrogate,
/// U+FFFE, U+FFFF) makes the stream fail; so do DOM elements holding
/// anything but elements, attributes and text without namespaces, or text
/// in an indented document, which the text form leaves to DOMLSSerializer.
/// Writing goes on regardless; the top-level writer looks at failure() at
/// the end. Not copyable.
class KYPLATFORM_EXPORT KyXMLStream {
public:
  /// Why the text form cannot be the document: none, a character XML cannot
  /// carry, or DOM content the stream leaves to DOMLSSerializer.
  enum class Failure { none, character, form };

  /// The text form, appended to `out`.
  KyXMLStream(KyXMLByteBlocks& out, bool indenting);
  /// Elements appended to `open`, which counts as the element just opened.
  explicit KyXMLStream(xercesc::DOMElement& open);
  ~KyXMLStream();
  KyXMLStream(const KyXMLStream&) = delete;
  KyXMLStream& operator=(const KyXMLStream&) = delete;

  /// The XML declaration, first of all; the text form only.
  void declaration();
  /// What follows the document element; the text form only.
  void finish();
  /// Opens the element `name` inside the element open now.
  void start(const XMLCh* name);
  /// An attribute of the element opened last; its content must not have
  /// begun. The value is escaped as needed.
  void attribute(const XMLCh* name, const XMLCh* value);
  void attribute(const XMLCh* name, std::wstring_view value);
  /// Closes the element opened last.
  void end();
  /// Writes `element` and everything it holds inside the element open now.
  void element(const xercesc::DOMElement& element);
  /// Writes the attributes and children of `element` as those of the
  /// element open now, as if `element` were it.
  void content(const xercesc::DOMElement& element);

  /// The name of the element open now; valid until the next start().
  const XMLCh* pOpenName() const;
  /// The element open now when the stream makes DOM elements; else null.
  xercesc::DOMElement* pOpenElement() const;
  /// The first thing that could not be written (see above).
  Failure failure() const;

private:
  std::unique_ptr<KyXMLSink> sink_;
};
