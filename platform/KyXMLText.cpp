#include "KyXMLText_p.h"

#include <kyplatform/KyUtf8.h>

#include <algorithm>
#include <charconv>

namespace {
// Narrow copy of text that is only of interest when it is ASCII; anything
// else becomes a character that no number parser accepts.
std::string asciiOf(std::wstring_view text) {
  std::string ascii(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    ascii[i] = text[i] > 0 && text[i] < 0x80 ? static_cast<char>(text[i]) : '\x7f';
  return ascii;
}

template <typename Number> bool parseWhole(std::wstring_view text, Number& value) {
  const std::string ascii = asciiOf(text);
  if (ascii.empty() || ascii.front() == '+')
    return false;
  Number parsed{};
  const char* end = ascii.data() + ascii.size();
  const auto [stop, error] = std::from_chars(ascii.data(), end, parsed);
  if (error != std::errc() || stop != end)
    return false;
  value = parsed;
  return true;
}
} // namespace

namespace KyXMLText {

KyXMLString toXML(std::wstring_view text) {
  KyXMLString xml;
  xml.reserve(text.size());
  for (const wchar_t wide : text) {
    const auto c = static_cast<char32_t>(wide);
    if (c < 0x10000) {
      xml.push_back(static_cast<char16_t>(c));
    } else if (c <= 0x10FFFF) {
      xml.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      xml.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      xml.push_back(0xFFFF);
    }
  }
  return xml;
}

KyXMLString toXML(const wchar_t* text) {
  return text != nullptr ? toXML(std::wstring_view(text)) : KyXMLString();
}

std::wstring toWide(const XMLCh* text) {
  std::wstring wide;
  toWide(text, wide);
  return wide;
}

void toWide(const XMLCh* text, std::wstring& wide) {
  wide.clear();
  if (text == nullptr)
    return;
  const std::u16string_view units(text);
  wide.reserve(units.size()); // code points never outnumber units
  for (std::size_t i = 0; i < units.size();)
    wide.push_back(static_cast<wchar_t>(KyUtf8::nextOfUtf16(units, i)));
}

int compare(const XMLCh* xml, std::wstring_view wide) {
  const std::u16string_view units(xml != nullptr ? xml : u"");
  std::size_t i = 0;
  for (const wchar_t expected : wide) {
    if (i == units.size())
      return -1;
    const auto c = static_cast<wchar_t>(KyUtf8::nextOfUtf16(units, i));
    if (c != expected)
      return std::char_traits<wchar_t>::lt(c, expected) ? -1 : 1;
  }
  return i == units.size() ? 0 : 1;
}

std::wstring quote(std::wstring_view text) {
  constexpr std::size_t kLongest = 60;
  std::wstring quoted = L"\"";
  for (const wchar_t c : text.substr(0, kLongest))
    quoted.push_back(c < 0x20 ? L' ' : c);
  if (text.size() > kLongest)
    quoted += L"...";
  return quoted + L"\"";
}

namespace {
// The text std::to_chars makes of `value`, widened; 32 characters hold the
// longest integer and the shortest form of every double. Unlike
// std::to_wstring, no formatted printing.
template <typename Number> std::wstring formatNumber(Number value) {
  char digits[32];
  return std::wstring(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}
} // namespace

std::wstring formatInteger(long value) { return formatNumber(value); }

std::wstring_view formatInteger(int value, wchar_t (&room)[16]) {
  char digits[16];
  const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  std::copy(static_cast<const char*>(digits), end, room);
  return std::wstring_view(room, static_cast<std::size_t>(end - digits));
}

std::wstring formatDouble(double value) { return formatNumber(value); }

bool parseInteger(std::wstring_view text, int& value) { return parseWhole(text, value); }
bool parseInteger(std::wstring_view text, long& value) { return parseWhole(text, value); }
bool parseDouble(std::wstring_view text, double& value) { return parseWhole(text, value); }

} // namespace KyXMLText
