// Base 64, the object table, and the element helpers.
#include "platform/KyXMLTesting.h"

#include <kyanalysis/KyObjectTable.h>

#include <xercesc/dom/DOM.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <numeric>
#include <vector>

namespace {

std::string decoded(const char* text, bool* ok = nullptr) {
  unsigned long length = 12345;
  unsigned char* bytes =
      KyXMLUtilities::decodeBase64(reinterpret_cast<const unsigned char*>(text), &length);
  if (ok != nullptr)
    *ok = bytes != nullptr;
  if (bytes == nullptr) {
    EXPECT_EQ(length, 12345u) << "a failed decode must leave the length alone";
    return {};
  }
  EXPECT_EQ(bytes[length], 0);
  std::string result(reinterpret_cast<const char*>(bytes), length);
  delete[] bytes;
  return result;
}

TEST(KyXMLBase64Test, EveryLengthAndByteRoundTrips) {
  std::vector<unsigned char> bytes(258);
  std::iota(bytes.begin(), bytes.end(), 0);
  for (unsigned long length : {0ul, 1ul, 2ul, 3ul, 4ul, 5ul, 257ul, 258ul}) {
    unsigned long encodedLength = 0;
    unsigned char* text = KyXMLUtilities::encodeBase64(bytes.data(), length, &encodedLength);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(encodedLength, (length + 2) / 3 * 4);
    EXPECT_EQ(text[encodedLength], 0) << "encoded text is zero-terminated";
    const std::string back = decoded(reinterpret_cast<const char*>(text));
    EXPECT_EQ(back, std::string(bytes.begin(), bytes.begin() + static_cast<long>(length)));
    delete[] text;
  }
}

// Standard vectors with white space skipped, and malformed texts refused
// (an expected null).
TEST(KyXMLBase64Test, DecodesStandardVectorsAndRefusesMalformedText) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},
      {"Zg==", "f"},
      {"Zm8=", "fo"},
      {"Zm9vYmFy", "foobar"},
      {" Zm9v\r\nYm\tFy\n", "foobar"},
      {"Zm8=\n", "fo"},
      {"Zm9", nullptr},        // not a multiple of four
      {"Zm9v=", nullptr},      // stray padding
      {"Zg=", nullptr},        // short padding
      {"Z===", nullptr},       // three pads
      {"Zm=v", nullptr},       // digit after padding
      {"Zh==", nullptr},       // bits left in the padding
      {"Zm9=", nullptr},       // bits left in the padding
      {"Zm9v!AAA", nullptr},   // outside the alphabet
      {"Zm9v\x80==", nullptr}, // high byte
      {"Zm9v-_==", nullptr},   // URL alphabet
  };
  for (const auto& [text, expected] : cases) {
    bool ok = false;
    const std::string back = decoded(text, &ok);
    EXPECT_EQ(ok, expected != nullptr) << text;
    if (expected != nullptr) {
      EXPECT_EQ(back, expected) << text;
    }
  }
  unsigned long length = 0;
  EXPECT_EQ(KyXMLUtilities::decodeBase64(nullptr, &length), nullptr);
  EXPECT_EQ(KyXMLUtilities::decodeBase64(reinterpret_cast<const unsigned char*>("Zg=="), nullptr),
            nullptr);
  EXPECT_EQ(KyXMLUtilities::encodeBase64(nullptr, 1, &length), nullptr);
}

TEST(KyXMLObjectTableTest, RegistrationsReplaceOnBothSides) {
  KyInt a(1), b(2);
  KyObjectTable table;
  EXPECT_EQ(table.setID(L"x", &a), 1);
  EXPECT_EQ(table.setID(L"x", &b), 1) << "the identifier moves to b";
  EXPECT_EQ(table.pID(&a), nullptr);
  EXPECT_EQ(table.pObject(L"x"), &b);
  EXPECT_EQ(table.setID(L"y", &b), 1) << "b is renamed";
  EXPECT_EQ(table.pObject(L"x"), nullptr);
  EXPECT_STREQ(table.pID(&b), L"y");
  EXPECT_EQ(table.length(), 1);

  for (const wchar_t* invalid : {static_cast<const wchar_t*>(nullptr), L"", L"a b", L"a\n"})
    EXPECT_EQ(table.setID(invalid, &a), 0);
  EXPECT_EQ(table.setID(L"z", nullptr), 0);
  EXPECT_EQ(table.length(), 1);

  KyObjectTable other;
  other.setID(L"y", &a);
  other.setID(L"w", &b);
  table.merge(other);
  EXPECT_EQ(table.pObject(L"y"), &a);
  EXPECT_STREQ(table.pID(&b), L"w");
  EXPECT_EQ(table.length(), 2);
  table.clear();
  EXPECT_EQ(table.pID(&a), nullptr);
}

class KyXMLHelperTest : public ::testing::Test {
protected:
  void SetUp() override {
    xercesc::XMLPlatformUtils::Initialize();
    document_ = xercesc::DOMImplementationRegistry::getDOMImplementation(u"LS")->createDocument(
        nullptr, u"root", nullptr);
  }
  void TearDown() override {
    document_->release();
    xercesc::XMLPlatformUtils::Terminate();
  }
  xercesc::DOMElement& root() { return *document_->getDocumentElement(); }

  xercesc::DOMDocument* document_ = nullptr;
};

TEST_F(KyXMLHelperTest, ValuesRoundTripAndMissingValuesReadAsEmptyOrFalse) {
  xercesc::DOMElement* text = KyXMLUtilities::pCreateElement(L"text", root());
  for (const wchar_t* value : {L"", L"a \"b\" <&> \U0001F600", L"x"}) {
    KyXMLHelper::writeValue(*text, value);
    wchar_t* back = KyXMLHelper::parseStringValue(text);
    EXPECT_STREQ(back, value);
    KyXMLUtilities::releaseString(back);
    EXPECT_EQ(back, nullptr);
  }
  KyXMLHelper::writeValue(*text, nullptr);
  wchar_t* empty = KyXMLHelper::parseStringValue(KyXMLUtilities::pCreateElement(L"none", root()));
  EXPECT_STREQ(empty, L"");
  KyXMLUtilities::releaseString(empty);
  EXPECT_EQ(KyXMLHelper::parseStringValue(nullptr), nullptr);

  xercesc::DOMElement* flag = KyXMLUtilities::pCreateElement(L"flag", root());
  KyXMLHelper::writeBooleanValue(*flag, 7);
  EXPECT_EQ(KyXMLHelper::parseBooleanValue(flag), 1);
  KyXMLHelper::writeBooleanValue(*flag, 0);
  EXPECT_EQ(KyXMLHelper::parseBooleanValue(flag), 0);
  KyXMLHelper::writeValue(*flag, L"TRUE");
  EXPECT_EQ(KyXMLHelper::parseBooleanValue(flag), 0);
  EXPECT_EQ(KyXMLHelper::parseBooleanValue(nullptr), 0);
}

TEST_F(KyXMLHelperTest, FindElementSkipsTextAndTakesTheFirstMatch) {
  root().appendChild(document_->createTextNode(u"  "));
  xercesc::DOMElement* first = KyXMLUtilities::pCreateElement(L"a", root());
  KyXMLUtilities::pCreateElement(L"a", root());
  EXPECT_EQ(KyXMLUtilities::pFindElement(root(), L"a"), first);
  EXPECT_EQ(KyXMLUtilities::pFindElement(root(), L"b"), nullptr);
  EXPECT_EQ(KyXMLUtilities::compareString(L"a", first), 0);
  EXPECT_LT(KyXMLUtilities::compareString(L"b", first), 0);
  EXPECT_NE(KyXMLUtilities::compareString(L"a", nullptr), 0);
  EXPECT_THROW(KyXMLUtilities::pCreateElement(L"not a name", root()), xercesc::DOMException);
}

} // namespace
