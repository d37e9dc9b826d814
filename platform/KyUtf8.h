// KyUtf8: the one UTF-8 codec of the libraries and tools. Wide text is
// UTF-32 (a wchar_t holds a whole code point); Xerces text is UTF-16.
#pragma once

#include <kyplatform/KyPlatformExport.h>

#include <cstddef>
#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == 4, "wide text is expected to be UTF-32");

namespace KyUtf8 {

/// U+FFFD, what a character that cannot be encoded becomes.
constexpr char32_t kReplacement = 0xFFFD;

/// True for a Unicode scalar value: at most U+10FFFF and not a surrogate.
constexpr bool isScalarValue(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

/// Writes the UTF-8 form of `c` at `out`, which has room for 4 bytes, and
/// returns the number of bytes written. A code point that is no scalar
/// value is written as U+FFFD, so the output is always well-formed.
inline std::size_t encode(char32_t c, char* out) {
  if (!isScalarValue(c))
    c = kReplacement;
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

/// Appends the UTF-8 form of `c` to `utf8`, as encode() writes it.
KYPLATFORM_EXPORT void append(std::string& utf8, char32_t c);

/// The UTF-8 form of wide text; characters that are no scalar value become
/// U+FFFD. O(n).
KYPLATFORM_EXPORT std::string fromWide(std::wstring_view text);

/// The UTF-8 form of UTF-16 text: surrogate pairs are joined, an unpaired
/// surrogate becomes U+FFFD. O(n).
KYPLATFORM_EXPORT std::string fromUtf16(std::u16string_view text);

/// Decodes the code point that starts at `text[i]` (i < text.size()) into
/// `c` and returns its length in bytes, 1 to 4; returns 0, with `c`
/// unspecified, when the bytes there are not well-formed UTF-8: a stray
/// continuation byte, a lead byte that no form starts with, a form cut
/// short, an overlong form, a surrogate or a code point beyond U+10FFFF.
/// A zero byte is well-formed (U+0000).
KYPLATFORM_EXPORT std::size_t decode(std::string_view text, std::size_t i, char32_t& c);

/// Decodes the whole of `text` into `wide`; false, with `wide`
/// unspecified, when some part of it is not well-formed UTF-8. O(n).
KYPLATFORM_EXPORT bool toWide(std::string_view text, std::wstring& wide);

/// The offset of the first byte of `text` that does not start a
/// well-formed code point; text.size() when all of it is well-formed. O(n),
/// with a fast path for ASCII.
KYPLATFORM_EXPORT std::size_t firstInvalid(std::string_view text);

/// The code point that starts at `text[i]` (i < text.size()) of UTF-16
/// text, moving `i` past it: a surrogate pair gives one code point, an
/// unpaired surrogate U+FFFD.
inline char32_t nextOfUtf16(std::u16string_view text, std::size_t& i) {
  const char32_t unit = text[i++];
  if (unit < 0xD800 || unit > 0xDFFF)
    return unit;
  if (unit < 0xDC00 && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF)
    return 0x10000 + ((unit - 0xD800) << 10) + (text[i++] - 0xDC00);
  return kReplacement;
}

} // namespace KyUtf8
