#include <kyformats/KyFormatText.h>

#include <kyplatform/KyUtf8.h>

#include <algorithm>
#include <clocale>
#include <cwchar>
#include <locale.h>

namespace KyFormatText {
namespace {

bool control(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

/// Unicode format characters (category Cf) but the two joiners: invisible,
/// and the bidirectional ones reorder the text around them, so a name
/// could pass for another or turn a line around. The zero-width joiner and
/// non-joiner stay: scripts and emoji need them and they move nothing.
bool formatControl(char32_t c) {
  if (c < 0xAD)
    return false;
  return c == 0xAD || (c >= 0x600 && c <= 0x605) || c == 0x61C || c == 0x6DD || c == 0x70F ||
         c == 0x890 || c == 0x891 || c == 0x8E2 || c == 0x180E || c == 0x200B || c == 0x200E ||
         c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x2064) ||
         (c >= 0x2066 && c <= 0x206F) || c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB) ||
         c == 0x110BD || c == 0x110CD || (c >= 0x13430 && c <= 0x1343F) ||
         (c >= 0x1BCA0 && c <= 0x1BCA3) || (c >= 0x1D173 && c <= 0x1D17A) || c == 0xE0001 ||
         (c >= 0xE0020 && c <= 0xE007F);
}

/// The C library's character widths need a UTF-8 locale; the program's own
/// locale is left as it is, so one is made for the width queries alone.
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
  return text == nullptr ? std::string() : KyUtf8::fromWide(text);
}

bool fromUtf8(std::string_view text, std::wstring& wide) {
  return text.find('\0') == std::string_view::npos && KyUtf8::toWide(text, wide);
}

std::size_t invalidUtf8At(std::string_view text) {
  return std::min(text.find('\0'), KyUtf8::firstInvalid(text));
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
    const std::size_t length = KyUtf8::decode(text, i, c);
    if (length == 0) {
      hex(static_cast<unsigned char>(text[i]));
      ++i;
      continue;
    }
    if (control(c)) {
      hex(static_cast<unsigned>(c));
    } else if (formatControl(c)) {
      // "\u202e", or "\U000e0001" beyond the first plane.
      const bool wide = c > 0xFFFF;
      result += wide ? "\\U" : "\\u";
      for (int shift = wide ? 28 : 12; shift >= 0; shift -= 4)
        result += "0123456789abcdef"[(c >> shift) & 0xF];
    } else
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
    const std::size_t length = KyUtf8::decode(text, i, c);
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

} // namespace KyFormatText
