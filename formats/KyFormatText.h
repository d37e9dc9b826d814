// KyFormatText: text as the formats read and write it: the library's wide
// names as UTF-8 and back, escaping for terminals, display width for
// aligned columns.
#pragma once

#include <kyformats/KyFormatsExport.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace KyFormatText {

/// `text` encoded as UTF-8; a null text gives the empty string. A wide
/// character that is no Unicode scalar value comes out as U+FFFD, so the
/// result is always valid UTF-8. O(n).
KYFORMATS_EXPORT std::string toUtf8(const wchar_t* text);

/// Decodes the UTF-8 `text` into `wide`; false, with `wide` unspecified,
/// when `text` is not well-formed UTF-8 or holds a zero byte, which no
/// name of the library can carry. O(n).
KYFORMATS_EXPORT bool fromUtf8(std::string_view text, std::wstring& wide);

/// The offset of the first byte of `text` that is not part of well-formed
/// UTF-8 or is a zero byte; text.size() when all is well. O(n).
KYFORMATS_EXPORT std::size_t invalidUtf8At(std::string_view text);

/// `text` safe to show on a terminal: control characters (U+0000 to U+001F,
/// U+007F to U+009F) become "\xHH", so no escape sequence passes through and
/// a line stays one line; invisible format characters, among them the
/// bidirectional controls that would turn the text around (U+202E), become
/// "\uHHHH" ("\UHHHHHHHH" past U+FFFF), but the zero-width joiner and
/// non-joiner, which scripts and emoji need. Bytes that are not UTF-8
/// become "\xHH".
KYFORMATS_EXPORT std::string escaped(std::string_view text);

/// The number of terminal columns the UTF-8 `text` takes: wide East Asian
/// characters count two, combining marks none.
KYFORMATS_EXPORT std::size_t displayWidth(std::string_view text);

/// `text` followed by blanks up to `width` display columns.
KYFORMATS_EXPORT std::string padded(const std::string& text, std::size_t width);

} // namespace KyFormatText
