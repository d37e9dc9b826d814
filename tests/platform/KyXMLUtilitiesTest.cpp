// Base 64, the object table, the one-line document text, and the element
// helpers.
#include "platform/KyXMLTesting.h"

#include <kyplatform/KyBase64Decoder.h>
#include <kyplatform/KyBase64Encoder.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyXMLStream.h>

#include <xercesc/dom/DOM.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <utility>
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

/// `length` random bytes, and their base-64 text.
std::pair<std::string, std::string> randomEncoded(std::size_t length, std::mt19937& random) {
  std::string bytes(length, '\0');
  for (char& byte : bytes)
    byte = static_cast<char>(random());
  unsigned long encodedLength = 0;
  const std::unique_ptr<unsigned char[]> encoded(KyXMLUtilities::encodeBase64(
      reinterpret_cast<const unsigned char*>(bytes.data()), length, &encodedLength));
  return {bytes, std::string(reinterpret_cast<const char*>(encoded.get()), encodedLength)};
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

// Every 12-bit digit pair, and random bytes, against an encoder that takes
// six bits at a time.
TEST(KyXMLBase64Test, EncodingMatchesABitByBitEncoder) {
  const auto reference = [](const std::vector<unsigned char>& bytes) {
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t bit = 0; bit < 8 * bytes.size(); bit += 6) {
      int digit = 0;
      for (std::size_t b = bit; b < bit + 6; ++b)
        digit = digit << 1 | (b < 8 * bytes.size() ? bytes[b / 8] >> (7 - b % 8) & 1 : 0);
      text += alphabet[digit];
    }
    return text + std::string((4 - text.size() % 4) % 4, '=');
  };
  std::vector<unsigned char> pairs;
  for (unsigned value = 0; value < 4096; ++value)
    for (const unsigned byte : {value >> 4, (value & 15) << 4 | value >> 8, value & 255})
      pairs.push_back(static_cast<unsigned char>(byte));
  std::mt19937 random(7);
  std::vector<unsigned char> noise(1001);
  for (unsigned char& byte : noise)
    byte = static_cast<unsigned char>(random());
  for (const auto& bytes : {pairs, noise}) {
    unsigned long length = 0;
    const std::unique_ptr<unsigned char[]> text(
        KyXMLUtilities::encodeBase64(bytes.data(), bytes.size(), &length));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(text.get()), length), reference(bytes));
  }
}

// Bytes handed over in pieces of any sizes, empty ones among them, make the
// text the whole bytes make at once; the encoder starts afresh after
// finish().
TEST(KyXMLBase64Test, PiecesEncodeAsTheWholeBytes) {
  std::mt19937 random(5);
  std::vector<unsigned char> bytes(40);
  for (unsigned char& byte : bytes)
    byte = static_cast<unsigned char>(random());
  KyBase64Encoder encoder;
  for (std::size_t length = 0; length <= bytes.size(); ++length) {
    unsigned long wholeLength = 0;
    const std::unique_ptr<unsigned char[]> whole(
        KyXMLUtilities::encodeBase64(bytes.data(), length, &wholeLength));
    for (int split = 0; split < 20; ++split) {
      std::string text;
      for (std::size_t at = 0; at < length;) {
        const std::size_t size = std::min<std::size_t>(random() % 5, length - at);
        std::vector<unsigned char> room(KyBase64Encoder::encodedLength(size));
        unsigned char* end = encoder.add(bytes.data() + at, size, room.data());
        ASSERT_LE(end - room.data(), static_cast<long>(room.size()));
        text.append(room.data(), end);
        at += size;
      }
      unsigned char last[4];
      text.append(last, encoder.finish(last));
      EXPECT_EQ(text, std::string(reinterpret_cast<const char*>(whole.get()), wholeLength))
          << length << " bytes";
    }
  }
}

// Whole groups of digits are decoded without a test of each digit; any text
// must decode as it does with a space after every character, which takes
// the digits one by one. Mutations make padding, spare bits and stray
// characters misplaced.
TEST(KyXMLBase64Test, GroupDecodingAgreesWithDigitByDigitDecoding) {
  std::mt19937 random(11);
  for (std::size_t length = 0; length < 40; ++length) {
    const auto [bytes, text] = randomEncoded(length, random);
    EXPECT_EQ(decoded(text.c_str()), bytes);
    for (int trial = 0; trial < 20 && !text.empty(); ++trial) {
      std::string mutated = text;
      mutated[random() % mutated.size()] = "=A/*Q\t"[random() % 6];
      bool ok = false, okChecked = false;
      const std::string once = decoded(mutated.c_str(), &ok);
      std::string spaced;
      for (const char c : mutated)
        spaced += std::string{c, ' '};
      EXPECT_EQ(once, decoded(spaced.c_str(), &okChecked)) << mutated;
      EXPECT_EQ(ok, okChecked) << mutated;
    }
  }
}

// Decoding a text in pieces, split anywhere, gives what decoding it whole
// gives, and refuses what that refuses: at the piece the fault is in, or at
// finish() for a text that ends inside a group.
TEST(KyXMLBase64Test, PiecesDecodeAsTheWholeText) {
  std::vector<std::string> texts = {"",         "Zg==",      "Zm8=",     " Zm9v\r\nYm\tFy\n",
                                    "Zm8= \n",  "Zg = =",    "Zm9",      "Zm9v=",
                                    "Zg=",      "Z===",      "Zm=v",     "Zh==",
                                    "Zm9v!AAA", "Zm9vYmFy=", "Zg==Zg==", "Zm9vYg=="};
  std::mt19937 random(17);
  for (std::size_t length = 1; length < 20; ++length) {
    std::string text = randomEncoded(length, random).second;
    texts.push_back(text);
    text[random() % text.size()] = "=A \n*"[random() % 5];
    texts.push_back(text);
  }
  KyBase64Decoder decoder;
  for (const std::string& text : texts) {
    bool wholeOk = false;
    const std::string whole = decoded(text.c_str(), &wholeOk);
    // Two pieces split at every place, then pieces of random sizes.
    for (std::size_t split = 0; split < text.size() + 20; ++split) {
      std::vector<std::size_t> sizes;
      if (split <= text.size())
        sizes = {split, text.size() - split};
      for (std::size_t at = 0; split > text.size() && at < text.size(); at += sizes.back())
        sizes.push_back(std::min<std::size_t>(random() % 6, text.size() - at));
      std::string back;
      bool ok = true;
      std::size_t at = 0;
      for (const std::size_t size : sizes) {
        std::vector<unsigned char> room(KyBase64Decoder::decodedRoom(size));
        const auto* piece = reinterpret_cast<const unsigned char*>(text.data()) + at;
        unsigned char* end = ok ? decoder.add(piece, size, room.data()) : nullptr;
        ok = end != nullptr;
        if (ok) {
          ASSERT_LE(end - room.data(), static_cast<long>(room.size()));
          back.append(room.data(), end);
        }
        at += size;
      }
      ok = decoder.finish() && ok;
      EXPECT_EQ(ok, wholeOk) << "\"" << text << "\" split at " << split;
      if (ok && wholeOk) {
        EXPECT_EQ(back, whole) << text;
      }
    }
  }
  // A refused text is refused to the end, and finish() readies a new one.
  const auto* bad = reinterpret_cast<const unsigned char*>("Zm9v!");
  const auto* good = reinterpret_cast<const unsigned char*>("Zm9v");
  unsigned char room[6];
  EXPECT_EQ(decoder.add(bad, 5, room), nullptr);
  EXPECT_EQ(decoder.add(good, 4, room), nullptr);
  EXPECT_FALSE(decoder.finish());
  EXPECT_EQ(decoder.add(good, 4, room), room + 3);
  EXPECT_TRUE(decoder.finish());
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

// Many identifiers, short and long, registered, renamed and taken over at
// random: the table answers as a map each way would.
TEST(KyXMLObjectTableTest, ChurnMatchesTwoPlainMaps) {
  std::vector<std::unique_ptr<KyInt>> objects;
  for (int i = 0; i < 300; ++i)
    objects.push_back(std::make_unique<KyInt>(i));
  KyObjectTable table;
  std::map<std::wstring, KyObject*> byID;
  std::map<const KyObject*, std::wstring> byObject;
  std::mt19937 random(7);
  for (int step = 0; step < 20000; ++step) {
    KyObject* object = objects[random() % objects.size()].get();
    const std::wstring id =
        (random() % 3 != 0 ? L"n" : L"a-long-identifier-") + std::to_wstring(random() % 400);
    ASSERT_EQ(table.setID(id.c_str(), object), 1);
    if (const auto named = byObject.find(object); named != byObject.end()) {
      byID.erase(named->second);
      byObject.erase(named);
    }
    if (const auto taken = byID.find(id); taken != byID.end()) {
      byObject.erase(taken->second);
      byID.erase(taken);
    }
    byID[id] = object;
    byObject[object] = id;
    ASSERT_EQ(table.length(), static_cast<int>(byID.size()));
  }
  for (const auto& [id, object] : byID) {
    EXPECT_EQ(table.pObject(id.c_str()), object);
    EXPECT_EQ(table.pID(object), byObject[object]);
  }
  for (const auto& object : objects) {
    if (byObject.count(object.get()) == 0) {
      EXPECT_EQ(table.pID(object.get()), nullptr);
    }
  }
}

// Writes elements, attributes and text of every sort the one-line text must
// carry, then what the case adds in an element "x".
class MixedContentWriter : public KyXMLWriter {
public:
  std::function<void(xercesc::DOMElement&)> add;
  int populateDOMElement(xercesc::DOMElement& element) override {
    xercesc::DOMDocument& document = *element.getOwnerDocument();
    xercesc::DOMElement* a = KyXMLUtilities::pCreateElement(L"a\u00e9", element);
    KyXMLHelper::writeValue(*a, L"x<&>\"'\u00e9\U0001F600\u07ff\u0800\uffef\u0080\u007f z");
    a->setAttribute(u"b", u"");
    KyXMLUtilities::pCreateElement(L"t", element)
        ->appendChild(document.createTextNode(u"te<&>\"'xt]]>"));
    KyXMLUtilities::pCreateElement(L"u", element)->appendChild(document.createTextNode(u""));
    xercesc::DOMElement* v = KyXMLUtilities::pCreateElement(L"v", element);
    v->appendChild(document.createTextNode(u"1"));
    v->appendChild(document.createTextNode(u"2"));
    KyXMLUtilities::pCreateElement(L"w", *v);
    if (add)
      add(*KyXMLUtilities::pCreateElement(L"x", element));
    return 1;
  }
};

// Documents without indenting are written by a walk of the platform's own
// where it can, by DOMLSSerializer where it cannot (comments, sections,
// namespaces) or must refuse (characters XML cannot carry). The expected
// texts are what DOMLSSerializer writes.
TEST(KyXMLWriterTest, OneLineTextIsTheSerializersByteForByte) {
  using xercesc::DOMElement;
  const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>"
                            "<document><part name=\"p\">"
                            "<a\xc3\xa9 b=\"\" value=\"x&lt;&amp;>&quot;'\xc3\xa9\xf0\x9f\x98\x80"
                            "\xdf\xbf\xe0\xa0\x80\xef\xbf\xaf\xc2\x80\x7f z\"/>"
                            "<t>te&lt;&amp;&gt;\"'xt]]&gt;</t><u></u><v>12<w/></v>";
  const std::string kTail = "</part></document>";
  const auto text = [](const XMLCh* value) {
    return [value](DOMElement& x) { x.appendChild(x.getOwnerDocument()->createTextNode(value)); };
  };
  static constexpr XMLCh kHighAlone[] = {0xD800, u'a', 0};
  static constexpr XMLCh kLowAlone[] = {0xDC00, 0};
  static constexpr XMLCh kNonCharacter[] = {0xFFFE, 0};
  const std::u16string kLongText = std::u16string(300, u'a') + u"<&>";
  const std::string kLongTextWritten = "<x>" + std::string(300, 'a') + "&lt;&amp;&gt;</x>";
  const struct {
    const char* what;
    std::function<void(DOMElement&)> add;
    const char* x; // the text of "x"; null when the write must fail
  } cases[] = {
      {"white space in an attribute",
       [](DOMElement& x) { x.setAttribute(u"v", u"tab\tnl\ncr\r."); },
       "<x v=\"tab&#x9;nl&#xA;cr&#xD;.\"/>"},
      {"white space in text", text(u"tab\tnl\ncr\r."), "<x>tab\tnl\ncr&#xD;.</x>"},
      {"a comment", [](DOMElement& x) { x.appendChild(x.getOwnerDocument()->createComment(u"c")); },
       "<x><!--c--></x>"},
      {"a CDATA section",
       [](DOMElement& x) { x.appendChild(x.getOwnerDocument()->createCDATASection(u"c<")); },
       "<x><![CDATA[c<]]></x>"},
      {"a namespace declaration", [](DOMElement& x) { x.setAttribute(u"xmlns", u"urn:x"); },
       "<x xmlns=\"urn:x\"/>"},
      {"an element in a namespace",
       [](DOMElement& x) {
         x.appendChild(x.getOwnerDocument()->createElementNS(u"urn:y", u"p:q"));
       },
       "<x><p:q xmlns:p=\"urn:y\"/></x>"},
      {"an unpaired high surrogate", [](DOMElement& x) { x.setAttribute(u"s", kHighAlone); },
       nullptr},
      {"an unpaired low surrogate", text(kLowAlone), nullptr},
      {"U+FFFE", [](DOMElement& x) { x.setAttribute(u"s", kNonCharacter); }, nullptr},
      {"a control character", text(u"\x01"), nullptr},
      {"a control character after a run", [](DOMElement& x) { x.setAttribute(u"s", u"abc\x01"); },
       nullptr},
      {"a long run with escapes in text", text(kLongText.c_str()), kLongTextWritten.c_str()},
  };
  MixedContentWriter plain;
  const kytest::Written base =
      kytest::writeDocument([&](KyCompositeXMLWriter& writer) { writer.setWriter(L"p", &plain); });
  EXPECT_EQ(base.text, kHead + kTail);
  // Parts are streamed one by one; a document element that holds more
  // than the parts makes the document go through one DOM, to the same text.
  struct MarkedWriter : KyCompositeXMLWriter {
    using KyCompositeXMLWriter::KyCompositeXMLWriter;
    int populateDOMElement(DOMElement& element) override {
      element.setAttribute(u"v", u"1");
      return KyCompositeXMLWriter::populateDOMElement(element);
    }
  };
  unsigned char* buffer = nullptr;
  MarkedWriter marked(&buffer, 0, 0);
  marked.setWriter(L"p", &plain);
  ASSERT_EQ(marked.write(), 1);
  std::string markedHead = kHead;
  markedHead.replace(markedHead.find("<document>"), 10, "<document v=\"1\">");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer), marked.outputSize()),
            markedHead + kTail);
  delete[] buffer;
  for (const auto& c : cases) {
    MixedContentWriter part;
    part.add = c.add;
    const kytest::Written written =
        kytest::writeDocument([&](KyCompositeXMLWriter& writer) { writer.setWriter(L"p", &part); });
    EXPECT_EQ(written.result, c.x != nullptr ? 1 : 0) << c.what;
    EXPECT_EQ(written.text, c.x != nullptr ? kHead + c.x + kTail : "") << c.what;
  }
}

// UTF-32 of UTF-16 text with its surrogate pairs joined.
std::wstring widened(std::u16string_view text) {
  std::wstring wide;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size())
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    wide.push_back(static_cast<wchar_t>(c));
  }
  return wide;
}

// Attributes given in any order, given twice, or needing escapes are
// written as DOMLSSerializer writes the same element made as a DOM: sorted
// by name (UTF-16 order), the later value kept.
TEST(KyXMLWriterTest, StreamedAttributesAreTheSerializersByteForByte) {
  struct Attribute {
    const XMLCh* name;
    std::u16string value;
  };
  const std::vector<std::vector<Attribute>> cases = {
      {{u"a", u"1"}, {u"b", u"2"}},
      {{u"c", u"3"}, {u"b", u"2"}, {u"a", u"1"}},
      {{u"ab", u"1"}, {u"a", u"2"}, {u"b", u"3"}, {u"aa", u"4"}},
      {{u"b", u"1"}, {u"a", u"2"}, {u"b", u"3"}},
      {{u"v", u"<&>\"'\t\n\r\u00e9\U0001F600"}, {u"\u00e9", u"x"}, {u"z", u""}},
      {{u"\uFF21", u"1"}, {u"\u4E00", u"2"}, {u"\u00e9", u"3"}},
      // Plain runs that end in an escape, in non-ASCII, or at the end of a
      // text longer than one run.
      {{u"a", u"abc&"}, {u"b", u"ab\u00e9cd"}, {u"c", u"x\U0001F600y"}, {u"d", u"\"x"}},
      {{u"long", std::u16string(700, u'x') + u"<" + std::u16string(300, u'y') + u"\u00e9"},
       {u"plain", std::u16string(513, u'z')}},
  };
  struct AttributesWriter : KyXMLWriter {
    const std::vector<Attribute>* attributes = nullptr;
    int writeElement(KyXMLStream& out) override {
      out.start(u"x");
      bool wide = false;
      for (const Attribute& attribute : *attributes) {
        // Wide and Xerces text alike.
        if ((wide = !wide))
          out.attribute(attribute.name, widened(attribute.value));
        else
          out.attribute(attribute.name, attribute.value.c_str());
      }
      out.end();
      return 1;
    }
  };
  struct MarkedWriter : KyCompositeXMLWriter {
    using KyCompositeXMLWriter::KyCompositeXMLWriter;
    int populateDOMElement(xercesc::DOMElement& element) override {
      element.setAttribute(u"v", u"1");
      return KyCompositeXMLWriter::populateDOMElement(element);
    }
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    AttributesWriter part;
    part.attributes = &cases[i];
    const kytest::Written streamed =
        kytest::writeDocument([&](KyCompositeXMLWriter& writer) { writer.setWriter(L"p", &part); });
    ASSERT_EQ(streamed.result, 1) << i;
    unsigned char* buffer = nullptr;
    MarkedWriter marked(&buffer, 0, 0);
    marked.setWriter(L"p", &part);
    ASSERT_EQ(marked.write(), 1) << i;
    std::string serialized(reinterpret_cast<const char*>(buffer), marked.outputSize());
    delete[] buffer;
    serialized.replace(serialized.find("<document v=\"1\">"), 16, "<document>");
    EXPECT_EQ(streamed.text, serialized) << i;
  }
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
  // Names differing in length, case or beyond the first 16 bits compare as
  // their wide forms do.
  xercesc::DOMElement* accented = KyXMLUtilities::pCreateElement(L"\u00e9t\u00e9", root());
  const std::pair<const wchar_t*, int> orders[] = {{L"\u00e9t\u00e9", 0},   {L"\u00e9t", 1},
                                                   {L"\u00e9t\u00e9s", -1}, {L"", 1},
                                                   {L"\u00c9t\u00e9", 1},   {L"\U0001F600", -1}};
  for (const auto& [text, sign] : orders) {
    const int order = KyXMLUtilities::compareString(text, accented);
    EXPECT_EQ((order > 0) - (order < 0), sign) << sign;
  }
  EXPECT_EQ(KyXMLUtilities::pFindElement(root(), L"\u00e9t\u00e9"), accented);
  EXPECT_EQ(KyXMLUtilities::pFindElement(root(), L"\u00e9t"), nullptr);
  EXPECT_THROW(KyXMLUtilities::pCreateElement(L"not a name", root()), xercesc::DOMException);
}

} // namespace
