// Runs kyanalyze's show, encode and decode on the example document and on
// broken input: output, round trip, and one-line failures with status 1.
#include "support/KyProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using kytest::Outcome;

Outcome run(const std::vector<std::string>& args, const std::string& input = "") {
  return kytest::runProcess(KYANALYZE_PATH, args, input);
}

std::string example() { return kytest::sourcePath("docs/examples/request.xml"); }

TEST(RequestCommands, ShowPrintsTheExampleRequest) {
  const Outcome shown = run({"show", example()});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.err, "");
  for (const char* line :
       {"operation: clustering (20)\n", "graph: 4 nodes, 3 edges\n",
        "  clustering:edge:cost  query  5\n", "  clustering:node:weight  db  4\n",
        "  clustering:graph:balance  graph  0.75\n",
        "  differentClusters  priority 1  open: db queue\n"})
    EXPECT_NE(shown.out.find(line), std::string::npos) << line << shown.out;
  // Options come sorted on key, then owner, whatever order the request
  // keeps them in.
  const std::size_t from = shown.out.find("options:\n") + 9;
  std::istringstream options(shown.out.substr(from, shown.out.find("constraints:") - from));
  std::vector<std::pair<std::string, std::string>> keyOwner;
  for (std::string line; std::getline(options, line);) {
    const std::size_t gap = line.find("  ", 2);
    const std::size_t end = line.find("  ", gap + 2);
    keyOwner.emplace_back(line.substr(2, gap - 2), line.substr(gap + 2, end - gap - 2));
  }
  EXPECT_GT(keyOwner.size(), 4u);
  EXPECT_TRUE(std::is_sorted(keyOwner.begin(), keyOwner.end())) << shown.out;
}

// A request of some megabytes, so that the document reaches encode and
// decode in many pieces: a chain of named nodes with a cost on every edge.
std::string chainDocument(int nodes) {
  std::string text = "<document><part name=\"graph\"><graph id=\"g0\">";
  for (int i = 0; i < nodes; ++i)
    text += "<node id=\"n" + std::to_string(i) + "\" name=\"stop " + std::to_string(i) + "\"/>";
  for (int i = 1; i < nodes; ++i)
    text += "<edge id=\"e" + std::to_string(i) + "\" source=\"n" + std::to_string(i - 1) +
            "\" target=\"n" + std::to_string(i) + "\"/>";
  text += "</graph></part><part name=\"analysis\"><option key=\"all:none:graph\" "
          "type=\"KyGraph\"><entry value=\"g0\"/></option><option "
          "key=\"shortestPaths:edge:cost\" type=\"Integer\">";
  for (int i = 1; i < nodes; ++i)
    text +=
        "<entry owner=\"e" + std::to_string(i) + "\" value=\"" + std::to_string(i % 997) + "\"/>";
  return text + "</option></part></document>";
}

TEST(RequestCommands, EncodeThenDecodeGivesADocumentThatShowsAlike) {
  const kytest::TempFile chain(chainDocument(40000), ".xml");
  for (const std::string& source : {example(), chain.path()}) {
    const Outcome encoded = run({"encode", source});
    ASSERT_EQ(encoded.status, 0) << encoded.err;
    ASSERT_EQ(encoded.out.find('\n'), encoded.out.size() - 1);
    const Outcome decoded = run({"decode"}, encoded.out);
    ASSERT_EQ(decoded.status, 0) << decoded.err;

    const kytest::TempFile document(decoded.out, ".xml");
    EXPECT_EQ(run({"show", document.path()}).out, run({"show", source}).out) << source;
    // Decoding what decode printed gives it again, byte for byte.
    const Outcome again = run({"decode"}, run({"encode", document.path()}).out);
    EXPECT_EQ(again.out, decoded.out) << source;
  }
}

TEST(RequestCommands, ShowSaysWhatARequestHoldsInWords) {
  // One constraint is "1 constraint"; an empty node list leaves no colon
  // dangling; no constraints at all say so.
  const kytest::TempFile one(
      "<document><part name=\"graph\"><graph id=\"g0\"><node id=\"n0\" name=\"a\"/></graph>"
      "</part><part name=\"analysis\"><option key=\"all:none:operation\" type=\"Integer\">"
      "<entry value=\"20\"/></option><option key=\"clustering:graph:constraintManager\" "
      "type=\"KyConstraintManager\"><entry owner=\"g0\"><constraintManager parent=\"g0\">"
      "<sameCluster priority=\"1\"/></constraintManager></entry></option></part></document>",
      ".xml");
  const Outcome shown = run({"show", one.path()});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find("  clustering:graph:constraintManager  graph  1 constraint\n"),
            std::string::npos)
      << shown.out;
  EXPECT_NE(shown.out.find("constraints:\n  sameCluster  priority 1  open\n"), std::string::npos)
      << shown.out;
  const kytest::TempFile none("<document><part name=\"graph\"><graph id=\"g0\"/></part>"
                              "<part name=\"analysis\"/></document>",
                              ".xml");
  EXPECT_EQ(run({"show", none.path()}).out,
            "operation: none\ngraph: 0 nodes, 0 edges\noptions: none\nconstraints: none\n");
  // A value that is not of its option's type says which type, in words.
  const kytest::TempFile wrong("<document><part name=\"graph\"><graph id=\"g0\"/></part>"
                               "<part name=\"analysis\"><option key=\"all:none:operation\" "
                               "type=\"Integer\"><entry value=\"x\"/></option></part></document>",
                               ".xml");
  EXPECT_NE(run({"show", wrong.path()}).err.find("is not of the type \"Integer\""),
            std::string::npos);
}

TEST(RequestCommands, UnreadableInputGetsOneLineAndStatusOne) {
  const struct {
    std::vector<std::string> args;
    std::string input;
    std::string says;
  } cases[] = {
      {{"show", "/nonexistent/request.xml"}, "", "/nonexistent/request.xml: cannot be read"},
      {{"encode", "/nonexistent/request.xml"}, "", "cannot be read"},
      {{"show", KYANALYZE_PATH}, "", "not XML, so not an analysis document"},
      {{"show", "-"}, "<graphml/>", "standard input: GraphML, not an analysis document"},
      {{"show", "-"}, "<?xml version='1.0'?><document/>", "standard input: the document has no"},
      {{"decode"}, "not base 64!", "standard input: not valid base 64"},
      {{"decode"}, "PGRvY3VtZW50Lz4=", "standard input: "}, // <document/>
      {{"decode"}, "PHJlcXVlc3QvPg==", "standard input: "}, // <request/>
      {{"decode"}, "PGRvY3VtZW50", "standard input: "},     // <document
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.args[0] + " " + test.input);
    const Outcome outcome = run(test.args, test.input);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err.rfind("kyanalyze: ", 0), 0u) << outcome.err;
    EXPECT_NE(outcome.err.find(test.says), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
  }
}

} // namespace
