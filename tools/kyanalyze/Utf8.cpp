#include "Utf8.h"

// Wide characters are whole code points here; a 16-bit wchar_t would need
// surrogate pairs joined first.
static_assert(sizeof(wchar_t) == 4, "wchar_t holds UCS-4");

namespace kyanalyze {

std::string toUtf8(const wchar_t* text) {
  std::string utf8;
  if (text == nullptr)
    return utf8;
  for (; *text != L'\0'; ++text) {
    char32_t c = static_cast<char32_t>(*text);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
      c = 0xFFFD;
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
  return utf8;
}

} // namespace kyanalyze
