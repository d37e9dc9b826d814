// Graphs read from files, streams and texts whatever their format: the
// format told by the name or the content, files read past their first
// block, unreadable files and documents named with their reason, and
// analysis documents in their base-64 form.
#include "formats/KyFormatsTesting.h"
#include "support/KyProcess.h"

#include <kyformats/KyGraphReader.h>

#include <kyplatform/KyBase64Encoder.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const kGraphML =
    "<?xml version=\"1.0\"?><!-- a comment --><graphml><graph><node id=\"a\"/></graph></graphml>";

std::string documentText() {
  std::ifstream file(kytest::sourcePath("docs/examples/request.xml"), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(KyGraphReader, TheFormatIsToldByTheContentWhateverTheName) {
  const std::string document = documentText();
  const struct {
    std::string content;
    const char* suffix;
    KyGraphFormat format;
    int nodes; // -1: refused
    bool isDocument;
  } cases[] = {
      {kGraphML, ".graphml", KyGraphFormat::detect, 1, false},
      {kGraphML, ".txt", KyGraphFormat::detect, 1, false},
      {"\xEF\xBB\xBF \n<graphml><graph><node id=\"a\"/></graph></graphml>", "",
       KyGraphFormat::detect, 1, false},
      {"<g:graphml xmlns:g=\"http://graphml.graphdrawing.org/xmlns\"><g:graph>"
       "<g:node id=\"a\"/><g:node id=\"b\"/></g:graph></g:graphml>",
       ".txt", KyGraphFormat::detect, 2, false},
      {document, ".xml", KyGraphFormat::detect, 4, true},
      {document, ".txt", KyGraphFormat::detect, 4, true},
      {"a b 1\n", ".txt", KyGraphFormat::detect, 2, false},
      {"a b 1\n", ".xml", KyGraphFormat::detect, 2, false},
      {"a b 1\n", ".graphml", KyGraphFormat::detect, 2, false},
      {kGraphML, ".xml", KyGraphFormat::detect, 1, false},
      {kGraphML, ".graphml", KyGraphFormat::edgeList, -1, false}, // six fields on a line
      {document, ".txt", KyGraphFormat::graphML, -1, false},
      {kGraphML, ".xml", KyGraphFormat::analysisDocument, -1, false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.content.substr(0, 40) + test.suffix);
    const kytest::TempFile file(test.content, test.suffix);
    KyGraphReadOptions options;
    options.format = test.format;
    KyGraphData data;
    std::string error;
    const bool read = KyGraphReader(options).readFile(file.path(), data, error);
    EXPECT_EQ(read, test.nodes >= 0) << error;
    if (read) {
      EXPECT_EQ(data.graph->numberOfNodes(), test.nodes);
      EXPECT_EQ(data.document != nullptr, test.isDocument);
    } else {
      EXPECT_EQ(error.rfind(file.path() + ":", 0), 0u) << error;
      EXPECT_EQ(data.graph->numberOfNodes(), 0);
    }
    // A text or a stream is told by its content alone.
    KyGraphData fromText;
    EXPECT_EQ(KyGraphReader(options).readText(test.content, "text", fromText, error),
              test.nodes >= 0 || test.format == KyGraphFormat::detect);
    std::istringstream in(test.content);
    KyGraphData fromStream;
    KyGraphReader(options).readStream(in, "stream", fromStream, error);
    EXPECT_EQ(kytest::plain(fromStream), kytest::plain(fromText));
  }
}

TEST(KyGraphReader, FilesAreReadWholePastTheirFirstBlock) {
  // Files of one block less a byte, one block and one block and a byte.
  constexpr std::size_t kBlock = 1 << 20;
  for (const std::size_t size : {kBlock - 1, kBlock, kBlock + 1}) {
    SCOPED_TRACE(size);
    std::string text = "first second 1\n";
    text += std::string(size - text.size() - 10, '#') + "\n";
    text += "last x 2\n";
    text.resize(size, '\n');
    const kytest::TempFile file(text);
    KyGraphData data;
    std::string error;
    ASSERT_TRUE(KyGraphReader().readFile(file.path(), data, error)) << error;
    EXPECT_EQ(kytest::plain(data).nodes,
              (std::vector<std::string>{"first", "second", "last", "x"}));
    EXPECT_EQ(kytest::plain(data).edgeColumns.at("cost"), (std::map<int, int>{{0, 1}, {1, 2}}));
  }
}

TEST(KyGraphReader, AnEdgeListFileRefusedEarlyStillTellsABadByteFarOn) {
  // A file of many pieces: a line of four fields first, then, with
  // `bad`, a byte that is not UTF-8 on its last line.
  std::string lines = "a b 1 2\n";
  for (int i = 0; i < 100000; ++i)
    lines += "n" + std::to_string(i) + " m 1\n";
  for (const bool bad : {false, true}) {
    const kytest::TempFile file(lines + (bad ? "x \xff\n" : "x y\n"));
    KyGraphData data;
    std::string error;
    EXPECT_FALSE(KyGraphReader().readFile(file.path(), data, error));
    EXPECT_EQ(error, file.path() + (bad ? ":100002: not valid UTF-8 text"
                                        : ":1: expected 'source target [cost]', found 4 fields"));
    EXPECT_EQ(data.graph->numberOfNodes(), 0);
  }
}

TEST(KyGraphReader, UnreadableFilesSayWhyAndLeaveTheDataAlone) {
  const kytest::TempFile table("node weight\nnew 3\n");
  const kytest::TempFile badTable("node weight\nnew heavy\n");
  const struct {
    std::string graph;
    std::string nodes; // read after the graph when not empty
    std::string says;
  } cases[] = {
      {"/nonexistent/graph.txt", "", "/nonexistent/graph.txt: cannot be read: no such file"},
      {"/tmp", "", "/tmp: cannot be read: is a directory"},
      {"/tmp/\x1b[31m", "", "/tmp/\\x1b[31m: cannot be read: no such file"},
      {"", "/nonexistent/nodes.txt", "/nonexistent/nodes.txt: cannot be read: no such file"},
      {"", badTable.path(), badTable.path() + ":2: the weight 'heavy' is not a 32-bit integer"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.says);
    KyGraphData data;
    std::string error;
    ASSERT_TRUE(KyGraphReader().readText("a b 1\n", "text", data, error));
    const kytest::PlainGraph before = kytest::plain(data);
    const bool read = test.graph.empty()
                          ? KyGraphReader().readNodeTableFile(test.nodes, data, error)
                          : KyGraphReader().readFile(test.graph, data, error);
    EXPECT_FALSE(read);
    EXPECT_EQ(error, test.says);
    EXPECT_EQ(kytest::plain(data), before);
  }
  KyGraphData data;
  std::string error;
  ASSERT_TRUE(KyGraphReader().readText("a b 1\n", "text", data, error));
  ASSERT_TRUE(KyGraphReader().readNodeTableFile(table.path(), data, error)) << error;
  EXPECT_EQ(kytest::plain(data).nodeColumns.at("weight"), (std::map<int, int>{{2, 3}}));
}

TEST(KyAnalysisDocument, TravelsInBase64AndRefusesWhatIsNone) {
  KyAnalysisDocument document;
  std::string error;
  ASSERT_TRUE(document.readFile(kytest::sourcePath("docs/examples/request.xml"), error)) << error;
  std::ostringstream encoded;
  ASSERT_TRUE(document.writeBase64(encoded, error)) << error;

  KyAnalysisDocument decoded;
  std::istringstream text(encoded.str());
  ASSERT_TRUE(decoded.readBase64(text, "text", error)) << error;
  EXPECT_EQ(decoded.graph->numberOfNodes(), 4);
  EXPECT_EQ(decoded.request.numberOfValues(), document.request.numberOfValues());

  // A document longer than the start that tells what a text is, so that it
  // is decoded in pieces: read, and refused when its end is no base 64.
  std::string longText;
  const auto piece = [&longText](const unsigned char* bytes, std::size_t length) {
    longText.append(reinterpret_cast<const char*>(bytes), length);
  };
  ASSERT_TRUE(
      KyAnalysisDocument::write(document.graph.get(), document.request, false, piece, error));
  longText += std::string(200000, ' ');
  std::ostringstream longEncoded;
  KyBase64Encoder encoder;
  std::vector<unsigned char> room(KyBase64Encoder::encodedLength(longText.size()) + 4);
  unsigned char* end = encoder.add(reinterpret_cast<const unsigned char*>(longText.data()),
                                   longText.size(), room.data());
  const std::string longBase64(room.data(), encoder.finish(end));
  {
    KyAnalysisDocument decodedLong;
    std::istringstream text(longBase64);
    ASSERT_TRUE(decodedLong.readBase64(text, "text", error)) << error;
    EXPECT_EQ(decodedLong.graph->numberOfNodes(), 4);
  }

  const struct {
    std::string text;
    const char* says;
  } refused[] = {
      {"not base 64!", "text: not valid base 64"},
      {encoded.str() + std::string(1, '\0'), "text: not valid base 64"},
      // No base 64 past what else is wrong, or past a whole document.
      {encoded.str() + "!", "text: not valid base 64"},
      {longBase64 + "A", "text: not valid base 64"},
      {"PGdyYXBoLz4=!", "text: not valid base 64"},
      {"PGdyYXBobWwvPg== ===", "text: not valid base 64"},
      {"PGdyYXBoLz4=", "text: "}, // "<graph/>": base 64, but no document
      // Base 64 of GraphML, of an edge list and of blanks: said what they are.
      {"PGdyYXBobWwvPg==", "text: GraphML, not an analysis document; --graph reads it"},
      {"YSBiIDEK", "text: not XML, so not an analysis document; --graph reads an edge list"},
      {"IAo=", "text: empty, not an analysis document"},
  };
  for (const auto& test : refused) {
    KyAnalysisDocument kept;
    std::istringstream text(test.text);
    EXPECT_FALSE(kept.readBase64(text, "text", error));
    EXPECT_EQ(error.rfind(test.says, 0), 0u) << error;
    EXPECT_EQ(kept.graph->numberOfNodes(), 0);
    EXPECT_EQ(kept.request.numberOfValues(), 0);
  }
  // Files too, whatever their names; the start of a file tells.
  const kytest::TempFile graphml(kGraphML, ".xml");
  const kytest::TempFile edges("\xEF\xBB\xBF a b 1\n", ".xml");
  const kytest::TempFile longProlog("<?xml version=\"1.0\"?><!--" + std::string(1 << 17, '-') +
                                    "--><graphml/>");
  for (const auto& [file, says] :
       {std::make_pair(&graphml, ": GraphML, not an analysis document; --graph reads it"),
        std::make_pair(&edges,
                       ": not XML, so not an analysis document; --graph reads an edge list"),
        // Told only past the start: the document reader says what is wrong.
        std::make_pair(&longProlog, ": ")}) {
    KyAnalysisDocument kept;
    EXPECT_FALSE(kept.readFile(file->path(), error));
    EXPECT_EQ(error.rfind(file->path() + says, 0), 0u) << error;
  }
  EXPECT_FALSE(KyAnalysisDocument::writeFile(decoded.graph.get(), decoded.request,
                                             "/nonexistent/out.xml", error));
  EXPECT_EQ(error, "/nonexistent/out.xml: cannot be written");
}

} // namespace
