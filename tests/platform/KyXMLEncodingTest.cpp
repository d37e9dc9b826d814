// Documents in UTF-8, UTF-16 and UTF-32 of both byte orders, read from
// memory, from a file and from pieces a function hands: which are read, and
// which are refused with what.
#include "platform/KyXMLTesting.h"
#include "support/KyDataTesting.h"
#include "support/KyProcess.h"

#include <kyplatform/KyGraphXMLReader.h>
#include <kyplatform/KyUtf8.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

namespace {

struct Encoding {
  const char* name;
  int width; // bytes a unit
  bool bigEndian;
};
constexpr Encoding kUtf8{"UTF-8", 1, false};
constexpr Encoding kWide[] = {
    {"UTF-16LE", 2, false}, {"UTF-16BE", 2, true}, {"UTF-32LE", 4, false}, {"UTF-32BE", 4, true}};

// `text` in `encoding`, behind a byte-order mark when `mark` is set.
std::string encoded(std::wstring text, const Encoding& encoding, bool mark) {
  if (mark)
    text.insert(text.begin(), L'\uFEFF');
  if (encoding.width == 1)
    return KyUtf8::fromWide(text);
  std::string bytes;
  const auto put = [&](char32_t unit) {
    for (int i = 0; i < encoding.width; ++i) {
      const int shift = 8 * (encoding.bigEndian ? encoding.width - 1 - i : i);
      bytes.push_back(static_cast<char>(unit >> shift & 0xFF));
    }
  };
  for (const wchar_t c : text) {
    const auto code = static_cast<char32_t>(c);
    if (encoding.width == 2 && code >= 0x10000) {
      put(0xD800 + ((code - 0x10000) >> 10));
      put(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      put(code);
    }
  }
  return bytes;
}

// A name beyond ASCII, with a character outside the basic plane.
const std::wstring kName = L"\u00e9t\u00e9 \u6771\u4eac \U0001F600";

std::wstring graphDocument(const std::wstring& declaration, const std::wstring& after = L"") {
  return declaration + L"<document><part name=\"graph\"><graph id=\"g\"><node id=\"n0\" name=\"" +
         kName + L"\"/></graph></part></document>" + after;
}

struct Read {
  int result;
  std::wstring error;
  int nodes;
  std::wstring name;
};

enum class From { memory, file, pieces };
constexpr From kFrom[] = {From::memory, From::file, From::pieces};

std::string said(From from) {
  return from == From::memory ? ", from memory"
         : from == From::file ? ", from a file"
                              : ", in pieces";
}

// Reads `bytes` from memory, from a file or in pieces of one to five bytes
// into a new graph; `failAt`: the pieces' source fails once that many bytes
// were handed.
Read readGraph(const std::string& bytes, From from, std::size_t failAt = std::string::npos) {
  KyGraph graph;
  KyGraphXMLReader graphReader;
  Read read{};
  const auto run = [&](KyCompositeXMLReader& reader) {
    reader.setReader(L"graph", &graphReader);
    reader.setFirstObjectToRead(L"graph", &graph);
    read.result = reader.read();
    read.error = reader.pErrorMessage();
  };
  if (from == From::file) {
    const kytest::TempFile file(bytes, ".xml");
    const std::wstring path(file.path().begin(), file.path().end());
    KyCompositeXMLReader reader(path.c_str());
    run(reader);
  } else if (from == From::pieces) {
    std::size_t handed = 0;
    KyCompositeXMLReader reader([&](unsigned char* into, std::size_t most, std::size_t& got) {
      if (handed >= failAt)
        return false;
      got = std::min({most, bytes.size() - handed, 1 + handed % 5});
      std::copy_n(bytes.data() + handed, got, into);
      handed += got;
      return true;
    });
    run(reader);
  } else {
    KyCompositeXMLReader reader(reinterpret_cast<const unsigned char*>(bytes.data()),
                                static_cast<unsigned int>(bytes.size()));
    run(reader);
  }
  read.nodes = graph.numberOfNodes();
  if (read.nodes == 1 && graph.pNodeAt(0)->pName() != nullptr)
    read.name = graph.pNodeAt(0)->pName();
  return read;
}

// The parser tells UTF-16 and UTF-32 by a byte-order mark or by the XML
// declaration they begin with; a document with neither is taken for UTF-8
// and refused. A declaration naming an encoding the bytes are not in is
// refused too.
TEST(KyXMLEncodingTest, WideEncodingsAreReadWithAMarkOrADeclaration) {
  struct Head {
    const char* what;
    bool mark;
    std::wstring declaration;
    bool read;
  };
  for (const Encoding& encoding : kWide) {
    const std::wstring named = std::wstring(L"<?xml version=\"1.0\" encoding=\"") +
                               (encoding.width == 2 ? L"UTF-16" : L"UTF-32") + L"\"?>";
    const Head heads[] = {
        {"a byte-order mark", true, L"", true},
        {"a declaration", false, L"<?xml version=\"1.0\"?>", true},
        {"a declaration naming the encoding", false, named, true},
        {"a mark and a declaration", true, named, true},
        {"neither", false, L"", false},
        {"a mark and a declaration naming UTF-8", true,
         L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", false},
    };
    for (const Head& head : heads)
      for (const From from : kFrom) {
        SCOPED_TRACE(std::string(encoding.name) + " with " + head.what + said(from));
        const Read read =
            readGraph(encoded(graphDocument(head.declaration), encoding, head.mark), from);
        EXPECT_EQ(read.result, head.read ? 1 : 0) << kytest::narrow(read.error.c_str());
        EXPECT_EQ(read.nodes, head.read ? 1 : 0);
        if (head.read) {
          EXPECT_EQ(read.name, kName);
        } else {
          EXPECT_EQ(read.error.rfind(L"line 1, column ", 0), 0u)
              << kytest::narrow(read.error.c_str());
        }
      }
  }
}

// Bytes that make no whole document: a mark alone, a document cut inside
// its last unit, bytes left over after it (which the parser would drop).
TEST(KyXMLEncodingTest, WideDocumentsOfBrokenUnitsAreRefused) {
  for (const Encoding& encoding : kWide) {
    const std::string whole = encoded(graphDocument(L""), encoding, true);
    const std::string leftOver(static_cast<std::size_t>(encoding.width - 1), '\n');
    const std::tuple<const char*, std::string, const wchar_t*> cases[] = {
        {"a mark alone", encoded(L"", encoding, true), L"line 1, column 1: "},
        {"cut inside the last unit", whole.substr(0, whole.size() - 1),
         L"line 1, column 100: the document ends inside a character"},
        {"bytes left over", whole + leftOver,
         L"line 1, column 101: the document ends inside a character"},
    };
    for (const auto& [what, bytes, error] : cases)
      for (const From from : kFrom) {
        SCOPED_TRACE(std::string(encoding.name) + ", " + what + said(from));
        const Read read = readGraph(bytes, from);
        EXPECT_EQ(read.result, 0);
        EXPECT_EQ(read.error.rfind(error, 0), 0u) << kytest::narrow(read.error.c_str());
      }
  }
}

TEST(KyXMLEncodingTest, Utf8IsReadWithAndWithoutAMark) {
  for (const bool mark : {false, true})
    for (const From from : kFrom) {
      const Read read = readGraph(encoded(graphDocument(L""), kUtf8, mark), from);
      EXPECT_EQ(read.result, 1) << kytest::narrow(read.error.c_str());
      EXPECT_EQ(read.name, kName);
    }
}

// U+0000 is refused in every encoding, wherever it stands: the parser
// would take it for the end of the text and ignore what follows.
TEST(KyXMLEncodingTest, AZeroCharacterIsRefusedInEveryEncoding) {
  const struct {
    const char* what;
    std::wstring text;
    const wchar_t* wide; // the refusal in UTF-16 and UTF-32
    const wchar_t* utf8; // in UTF-8
    bool mark = true;    // UTF-16 and UTF-32 behind a byte-order mark, which columns leave out
  } cases[] = {
      {"after the document", graphDocument(L"", std::wstring(L"\n\0garbage", 9)),
       L"line 2, column 1: the document holds the character U+0000, which XML does not allow",
       L"line 2, column 1: the document holds a zero byte, which XML does not allow"},
      {"after a document with a declaration and no mark",
       graphDocument(L"<?xml version=\"1.0\"?>", std::wstring(L"\n\0garbage", 9)),
       L"line 2, column 1: the document holds the character U+0000",
       L"line 2, column 1: the document holds a zero byte", false},
      {"at the end", graphDocument(L"", std::wstring(1, L'\0')),
       L"line 1, column 101: the document holds the character U+0000",
       L"line 1, column 110: the document holds a zero byte"},
      // Past the first piece a file is read in.
      {"far on", graphDocument(L"", std::wstring(70000, L' ') + L'\0'),
       L"line 1, column 70101: the document holds the character U+0000",
       L"line 1, column 70110: the document holds a zero byte"},
      {"in a name", L"<document><part name=\"gr" + std::wstring(1, L'\0') + L"aph\"/></document>",
       L"line 1, column 25: the document holds the character U+0000",
       L"line 1, column 25: the document holds a zero byte"},
  };
  for (const auto& c : cases)
    for (const Encoding& encoding : {kUtf8, kWide[0], kWide[1], kWide[2], kWide[3]})
      for (const From from : kFrom) {
        SCOPED_TRACE(std::string(c.what) + ", " + encoding.name + said(from));
        const Read read = readGraph(encoded(c.text, encoding, encoding.width > 1 && c.mark), from);
        EXPECT_EQ(read.result, 0);
        EXPECT_EQ(read.error.rfind(encoding.width > 1 ? c.wide : c.utf8, 0), 0u)
            << kytest::narrow(read.error.c_str());
        // From memory the zero is found before anything is read.
        if (from == From::memory) {
          EXPECT_EQ(read.nodes, 0);
        }
      }
}

// A document in pieces is searched to its end as one in memory is, also
// when the parse stopped early; a source that fails fails the read, also
// once the document element has ended.
TEST(KyXMLEncodingTest, PiecesAreRefusedAsMemoryIsAndASourceFailureFailsTheRead) {
  const std::string broken = "<document><part name=\"graph\"></document>\n";
  const std::string whole = KyUtf8::fromWide(graphDocument(L""));
  constexpr std::size_t kNever = std::string::npos;
  const struct {
    const char* what;
    std::string bytes;
    std::size_t failAt;
    const wchar_t* refusal;
  } cases[] = {
      {"a zero after a parse error", broken + '\0', kNever,
       L"line 2, column 1: the document holds a zero byte, which XML does not allow"},
      {"a zero far after a parse error", broken + std::string(70000, ' ') + '\0', kNever,
       L"line 2, column 70001: the document holds a zero byte, which XML does not allow"},
      {"no byte", "", kNever, L"the document is empty"},
      {"a source failing at once", whole, 0, L"the document cannot be read"},
      {"a source failing within the first unit", whole, 2, L"the document cannot be read"},
      {"a source failing within the document", whole, 40, L"the document cannot be read"},
      {"a source failing after the document", whole, whole.size(), L"the document cannot be read"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Read read = readGraph(c.bytes, From::pieces, c.failAt);
    EXPECT_EQ(read.result, 0);
    EXPECT_EQ(read.error, c.refusal);
    EXPECT_EQ(read.nodes, 0);
    if (c.failAt == kNever) {
      EXPECT_EQ(readGraph(c.bytes, From::memory).error, c.refusal);
    }
  }
}

} // namespace
