// Wide text of the library as UTF-8 for the tool's output, and back.
#pragma once

#include <string>

namespace kyanalyze {

/// `text` encoded as UTF-8; a null text gives the empty string. A wide
/// character that is no Unicode scalar value (a surrogate, or beyond
/// U+10FFFF) comes out as U+FFFD, so the result is always valid UTF-8.
std::string toUtf8(const wchar_t* text);

/// Decodes the UTF-8 `text` into `wide`; false, with `wide` unspecified,
/// when `text` is not well-formed UTF-8 (overlong forms, surrogates and
/// code points beyond U+10FFFF included) or holds a zero byte.
bool fromUtf8(const std::string& text, std::wstring& wide);

} // namespace kyanalyze
