// KyXMLUtilities: DOM conveniences and the base-64 form of bytes.
#pragma once

#include <kyplatform/KyPlatformExport.h>

#include <xercesc/dom/DOMElement.hpp>

/// Helpers shared by the XML readers and writers. Static members only.
class KYPLATFORM_EXPORT KyXMLUtilities {
public:
  KyXMLUtilities() = delete;

  /// The first child element of `element` named `name`, or null. Cost
  /// O(number of children).
  static xercesc::DOMElement* pFindElement(const xercesc::DOMElement& element, const wchar_t* name);
  /// A new element named `name`, appended as the last child of `parent`;
  /// it belongs to the parent's document. Throws xercesc::DOMException for
  /// a name that XML does not allow, which makes the running write() fail.
  static xercesc::DOMElement* pCreateElement(const wchar_t* name, xercesc::DOMElement& parent);
  /// 0 when the name of `node` equals `text`; otherwise negative or
  /// positive as the name sorts before or after the text, code point by
  /// code point. A null node or text compares unequal.
  static int compareString(const wchar_t* text, const xercesc::DOMNode* node);
  /// Frees a text made by KyXMLHelper::parseStringValue() and sets the
  /// pointer to null; nothing for a null pointer.
  static void releaseString(wchar_t*& text);

  /// Base-64 text (RFC 4648 alphabet, padded, on one line) of the `length`
  /// bytes at `bytes`: a new array of *encodedLength characters and a zero
  /// byte after them, freed by the caller with delete[]. Null, with
  /// *encodedLength untouched, when `bytes` or `encodedLength` is null or
  /// the text would be too long to count. Cost O(length).
  static unsigned char* encodeBase64(const unsigned char* bytes, unsigned long length,
                                     unsigned long* encodedLength);
  /// The bytes of the zero-terminated base-64 text `text`: a new array of
  /// *decodedLength bytes and a zero byte after them, freed by the caller
  /// with delete[]. White space (space, tab, CR, LF) anywhere in the text is
  /// skipped. Null, with *decodedLength untouched, when `text` or
  /// `decodedLength` is null or the text is not canonical padded base 64:
  /// a character outside the alphabet, a length that is not a multiple of
  /// four, '=' other than at the end, or non-zero bits in the padding.
  /// Cost O(length of the text).
  static unsigned char* decodeBase64(const unsigned char* text, unsigned long* decodedLength);
};
