// The UTF-8 codec: every form at its boundaries, and every way bytes can
// fail to be UTF-8.
#include <kyplatform/KyUtf8.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct Form {
  char32_t code;
  std::string bytes;
};

// The first and last code point of every length, and the scalar values
// around the surrogates.
const Form kForms[] = {
    {0x0, std::string(1, '\0')},
    {0x7F, "\x7F"},
    {0x80, "\xC2\x80"},
    {0x7FF, "\xDF\xBF"},
    {0x800, "\xE0\xA0\x80"},
    {0xD7FF, "\xED\x9F\xBF"},
    {0xE000, "\xEE\x80\x80"},
    {0xFFFF, "\xEF\xBF\xBF"},
    {0x10000, "\xF0\x90\x80\x80"},
    {0x10FFFF, "\xF4\x8F\xBF\xBF"},
};

TEST(KyUtf8, EveryFormEncodesAndDecodesAtItsBoundaries) {
  for (const Form& form : kForms) {
    SCOPED_TRACE(static_cast<unsigned long>(form.code));
    char out[4];
    ASSERT_EQ(KyUtf8::encode(form.code, out), form.bytes.size());
    EXPECT_EQ(std::string(out, form.bytes.size()), form.bytes);
    char32_t decoded = 0;
    EXPECT_EQ(KyUtf8::decode(form.bytes, 0, decoded), form.bytes.size());
    EXPECT_EQ(decoded, form.code);
    EXPECT_EQ(KyUtf8::firstInvalid(form.bytes), form.bytes.size());
  }
}

TEST(KyUtf8, CodePointsThatAreNoScalarValueEncodeAsTheReplacement) {
  for (const char32_t code : {char32_t{0xD800}, char32_t{0xDBFF}, char32_t{0xDC00},
                              char32_t{0xDFFF}, char32_t{0x110000}, char32_t{0xFFFFFFFF}}) {
    SCOPED_TRACE(static_cast<unsigned long>(code));
    EXPECT_FALSE(KyUtf8::isScalarValue(code));
    std::string utf8;
    KyUtf8::append(utf8, code);
    EXPECT_EQ(utf8, "\xEF\xBF\xBD");
  }
  const std::wstring wide = {L'a', static_cast<wchar_t>(0xD800), L'b'};
  EXPECT_EQ(KyUtf8::fromWide(wide), "a\xEF\xBF\xBD"
                                    "b");
}

TEST(KyUtf8, MalformedBytesAreRefusedWhereTheyStart) {
  struct Case {
    const char* what;
    std::string bytes;
    std::size_t at;
  };
  const Case cases[] = {
      {"stray continuation byte", "ab\x80", 2},
      {"lead byte C0 (always overlong)", "\xC0\x80", 0},
      {"lead byte C1 (always overlong)", "x\xC1\xBF", 1},
      {"overlong three-byte form", "\xE0\x80\xAF", 0},
      {"overlong four-byte form", "\xF0\x8F\xBF\xBF", 0},
      {"high surrogate", "\xED\xA0\x80", 0},
      {"low surrogate", "ok\xED\xBF\xBF", 2},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", 0},
      {"lead byte F5", "\xF5\x80\x80\x80", 0},
      {"lead byte FF", "\xFF", 0},
      {"form cut short at the end", "abc\xE2\x82", 3},
      {"continuation replaced by ASCII", "\xE2x\xAC", 0},
      {"continuation replaced by a lead byte", "\xC3\xC3\xA9", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(KyUtf8::firstInvalid(c.bytes), c.at);
    // After ASCII text of any length, read many bytes at a time, and
    // before more of it.
    for (const std::size_t ascii : {1, 7, 8, 9, 16, 23}) {
      const std::string before(ascii, 'a');
      EXPECT_EQ(KyUtf8::firstInvalid(before + c.bytes + before), ascii + c.at) << ascii;
    }
    char32_t code = 0;
    EXPECT_EQ(KyUtf8::decode(c.bytes, c.at, code), 0u);
    std::wstring wide = L"kept?";
    EXPECT_FALSE(KyUtf8::toWide(c.bytes, wide));
  }
}

TEST(KyUtf8, WideTextRoundTripsThroughUtf8) {
  std::wstring wide;
  for (const Form& form : kForms)
    wide += static_cast<wchar_t>(form.code);
  std::wstring back;
  ASSERT_TRUE(KyUtf8::toWide(KyUtf8::fromWide(wide), back));
  EXPECT_EQ(back, wide);
  EXPECT_TRUE(KyUtf8::toWide("", back));
  EXPECT_TRUE(back.empty());
}

TEST(KyUtf8, Utf16PairsJoinAndLoneSurrogatesBecomeTheReplacement) {
  struct Case {
    std::u16string units;
    std::string utf8;
  };
  const Case cases[] = {
      {u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},         // a pair
      {u"a\xD83D", "a\xEF\xBF\xBD"},                 // high surrogate at the end
      {u"\xD83Dz", "\xEF\xBF\xBDz"},                 // high surrogate before no low one
      {u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"}, // pair in the wrong order
      {u"\xDBFF\xDFFF", "\xF4\x8F\xBF\xBF"},         // the last code point
  };
  for (const Case& c : cases)
    EXPECT_EQ(KyUtf8::fromUtf16(c.units), c.utf8);
}

} // namespace
