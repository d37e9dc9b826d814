#include "Text.h"

#include <clocale>
#include <cwchar>
#include <locale.h>

// Wide characters are whole code points here; a 16-bit wchar_t would need
// surrogate pairs joined first.
static_assert(sizeof(wchar_t) == 4, "wchar_t holds UCS-4");

namespace kyanalyze {
namespace {

/// Decodes one code point at `i`; its length in bytes, or 0 when the bytes
/// there are not well-formed UTF-8 or a zero byte.
std::size_t decode(std::string_view text, std::size_t i, char32_t& c) {
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead == 0)
    return 0;
  const std::size_t length = lead < 0x80                   ? 1
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                                                           : 0;
  if (length == 0 || i + length > text.size())
    return 0;
  c = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80)
      return 0;
    c = (c << 6) | (next & 0x3F);
  }
  const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
    return 0;
  return length;
}

void append(std::string& utf8, char32_t c) {
  if (c < 0x80) {
    utf8 += static_cast<char>(c);
  } else if (c < 0x800) {
    utf8 += static_cast<char>(0xC0 | (c >> 6));
    utf8 += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    utf8 += static_cast<char>(0xE0 | (c >> 12));
    utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    utf8 += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    utf8 += static_cast<char>(0xF0 | (c >> 18));
    utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    utf8 += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool control(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

/// The C library's character widths need a UTF-8 locale; the tool's own
/// locale stays "C", so one is made for the width queries alone.
class Utf8Locale {
public:
  Utf8Locale() : locale_(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0))) {}
  ~Utf8Locale() {
    if (locale_ != static_cast<locale_t>(0))
      freelocale(locale_);
  }
  Utf8Locale(const Utf8Locale&) = delete;
  Utf8Locale& operator=(const Utf8Locale&) = delete;
  /// Columns of `c`: wcwidth() under the UTF-8 locale, or 1 without one.
  std::size_t width(char32_t c) const {
    if (locale_ == static_cast<locale_t>(0))
      return 1;
    const locale_t previous = uselocale(locale_);
    const int columns = wcwidth(static_cast<wchar_t>(c));
    uselocale(previous);
    return columns < 0 ? 1 : static_cast<std::size_t>(columns);
  }

private:
  locale_t locale_;
};

} // namespace

std::string toUtf8(const wchar_t* text) {
  std::string utf8;
  if (text == nullptr)
    return utf8;
  for (; *text != L'\0'; ++text) {
    char32_t c = static_cast<char32_t>(*text);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
      c = 0xFFFD;
    append(utf8, c);
  }
  return utf8;
}

bool fromUtf8(std::string_view text, std::wstring& wide) {
  wide.clear();
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const std::size_t length = decode(text, i, c);
    if (length == 0)
      return false;
    wide += static_cast<wchar_t>(c);
    i += length;
  }
  return true;
}

std::size_t invalidUtf8At(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte != 0 && byte < 0x80) {
      ++i;
      continue;
    }
    char32_t c = 0;
    const std::size_t length = decode(text, i, c);
    if (length == 0)
      return i;
    i += length;
  }
  return text.size();
}

std::string escaped(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  auto hex = [&](unsigned value) {
    const char digits[] = "0123456789abcdef";
    result += "\\x";
    result += digits[(value >> 4) & 0xF];
    result += digits[value & 0xF];
  };
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const std::size_t length = decode(text, i, c);
    if (length == 0) {
      hex(static_cast<unsigned char>(text[i]));
      ++i;
      continue;
    }
    if (control(c))
      hex(static_cast<unsigned>(c));
    else
      result.append(text.substr(i, length));
    i += length;
  }
  return result;
}

std::size_t displayWidth(std::string_view text) {
  static const Utf8Locale locale;
  std::size_t columns = 0;
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const std::size_t length = decode(text, i, c);
    if (length == 0) {
      ++columns;
      ++i;
      continue;
    }
    columns += c < 0x80 ? 1 : locale.width(c);
    i += length;
  }
  return columns;
}

std::string padded(const std::string& text, std::size_t width) {
  const std::size_t columns = displayWidth(text);
  return columns >= width ? text : text + std::string(width - columns, ' ');
}

} // namespace kyanalyze
