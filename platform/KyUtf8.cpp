#include <kyplatform/KyUtf8.h>

#include <cstdint>
#include <cstring>

namespace KyUtf8 {

void append(std::string& utf8, char32_t c) {
  char bytes[4];
  utf8.append(bytes, encode(c, bytes));
}

std::string fromWide(std::wstring_view text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (const wchar_t c : text)
    append(utf8, static_cast<char32_t>(c));
  return utf8;
}

std::string fromUtf16(std::u16string_view text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (std::size_t i = 0; i < text.size();)
    append(utf8, nextOfUtf16(text, i));
  return utf8;
}

std::size_t decode(std::string_view text, std::size_t i, char32_t& c) {
  const auto lead = static_cast<unsigned char>(text[i]);
  const std::size_t length = lead < 0x80                   ? 1
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                                                           : 0;
  if (length == 0 || length > text.size() - i)
    return 0;
  c = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80)
      return 0;
    c = (c << 6) | (next & 0x3F);
  }
  // The smallest code point each length may carry; below it, the form is
  // overlong.
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[length] || !isScalarValue(c))
    return 0;
  return length;
}

bool toWide(std::string_view text, std::wstring& wide) {
  wide.clear();
  wide.reserve(text.size());
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

std::size_t firstInvalid(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    // Most text is ASCII: eight bytes at a time while it is.
    if (text.size() - i >= sizeof(std::uint64_t)) {
      std::uint64_t word = 0;
      std::memcpy(&word, text.data() + i, sizeof word);
      if ((word & 0x8080808080808080u) == 0) {
        i += sizeof word;
        continue;
      }
    }
    if (static_cast<unsigned char>(text[i]) < 0x80) {
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

} // namespace KyUtf8
