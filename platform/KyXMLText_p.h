// KyXMLText: the text conversions of the XML layer, in one place. Internal
// to the platform library; not installed.
#pragma once

#include <xercesc/util/XercesDefs.hpp>

#include <string>
#include <string_view>
#include <type_traits>

static_assert(std::is_same_v<XMLCh, char16_t>, "Xerces text is expected to be UTF-16 char16_t");
static_assert(sizeof(wchar_t) == 4, "wide text is expected to be UTF-32");

/// Xerces text (UTF-16).
using KyXMLString = std::u16string;

namespace KyXMLText {

/// UTF-16 form of wide text; null gives the empty text. A wide character
/// that is not a Unicode scalar value (a surrogate, or above U+10FFFF) is
/// kept as a unit that XML cannot carry, so that serializing it fails rather
/// than silently changing the text.
KyXMLString toXML(std::wstring_view text);
KyXMLString toXML(const wchar_t* text);
/// Wide form of Xerces text; null gives the empty text. An unpaired
/// surrogate (which a parsed document never holds) becomes U+FFFD.
std::wstring toWide(const XMLCh* text);
/// As toWide(), into `wide`, whose storage is reused: readers convert one
/// identifier after another without an allocation each.
void toWide(const XMLCh* text, std::wstring& wide);
/// Compares Xerces text (null: the empty text) with wide text as
/// toWide(xml).compare(wide) would: negative, 0 or positive. Makes no copy.
int compare(const XMLCh* xml, std::wstring_view wide);

/// `text` in double quotes for a message of one line: control characters
/// become spaces, and text beyond 60 characters is cut and marked "...".
std::wstring quote(std::wstring_view text);
/// True for a space, tab, CR or LF.
inline bool isSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

/// Decimal text of an integer.
std::wstring formatInteger(long value);
/// The same text, put in `room`, for writers that make no string per value.
std::wstring_view formatInteger(int value, wchar_t (&room)[16]);
/// Shortest decimal text that reads back as exactly `value` (sign of zero
/// included); "inf", "-inf", "nan" and "-nan" for the special values.
std::wstring formatDouble(double value);
/// Parse the whole of `text` (no white space, no '+'); false, with `value`
/// untouched, when the text is not a number of the type or out of range.
bool parseInteger(std::wstring_view text, int& value);
bool parseInteger(std::wstring_view text, long& value);
bool parseDouble(std::wstring_view text, double& value);

} // namespace KyXMLText
