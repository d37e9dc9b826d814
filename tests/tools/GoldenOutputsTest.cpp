// What kyanalyze writes, compared byte for byte with the files kept in
// tests/tools/golden: converted graphs in every format, answers as text,
// JSON, CSV and Graphviz, the paths listing, a request shown and encoded,
// and the descriptions. The inputs carry names with every character some
// format escapes. KY_WRITE_GOLDEN=1 writes the files anew instead of
// comparing.
#include "support/KyProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

std::string goldenPath(const std::string& name) {
  return kytest::sourcePath("tests/tools/golden/" + name);
}

/// Compares `text` with the golden file `name`, or writes it there when
/// KY_WRITE_GOLDEN is set.
void expectGolden(const std::string& name, const std::string& text) {
  if (const char* write = std::getenv("KY_WRITE_GOLDEN"); write != nullptr && *write == '1') {
    std::ofstream(goldenPath(name), std::ios::binary) << text;
    return;
  }
  std::ifstream file(goldenPath(name), std::ios::binary);
  ASSERT_TRUE(file.is_open()) << name << " is missing";
  const std::string golden{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  EXPECT_EQ(golden, text) << name << " differs";
}

// Names with quotes, blanks, tabs, '#', commas, markup characters, a
// backslash, words a header uses, text beyond ASCII, and one name two nodes
// share; values in every column a file can carry, one edge undirected.
const char* const kTricky =
    "<?xml version=\"1.0\"?>\n"
    "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\">\n"
    " <key id=\"n\" for=\"node\" attr.name=\"name\" attr.type=\"string\"/>\n"
    " <key id=\"w\" for=\"node\" attr.name=\"weight\" attr.type=\"int\"/>\n"
    " <key id=\"c\" for=\"edge\" attr.name=\"cost\" attr.type=\"int\"/>\n"
    " <key id=\"k\" for=\"edge\" attr.name=\"capacity\" attr.type=\"int\"/>\n"
    " <graph edgedefault=\"directed\">\n"
    "  <node id=\"q\"><data key=\"n\">say \"hi\"</data><data key=\"w\">4</data></node>\n"
    "  <node id=\"m\"><data key=\"n\">x&lt;y &amp; z&gt;w</data></node>\n"
    "  <node id=\"t\"><data key=\"n\">tab&#9;and,comma</data><data key=\"w\">-2</data></node>\n"
    "  <node id=\"h\"><data key=\"n\"># hash</data></node>\n"
    "  <node id=\"b\"><data key=\"n\">back\\slash</data></node>\n"
    "  <node id=\"s\"><data key=\"n\">source</data></node>\n"
    "  <node id=\"o\"><data key=\"n\">node</data></node>\n"
    "  <node id=\"u\"><data key=\"n\">\xc3\xa9t\xc3\xa9 \xe6\x9d\xb1</data></node>\n"
    "  <node id=\"d1\"><data key=\"n\">dup</data></node>\n"
    "  <node id=\"d2\"><data key=\"n\">dup</data></node>\n"
    "  <node id=\"lone\"/>\n"
    "  <edge source=\"q\" target=\"m\"><data key=\"c\">3</data><data key=\"k\">7</data></edge>\n"
    "  <edge source=\"m\" target=\"t\"><data key=\"c\">-1</data></edge>\n"
    "  <edge source=\"t\" target=\"h\" directed=\"false\"><data "
    "key=\"k\">2147483647</data></edge>\n"
    "  <edge source=\"h\" target=\"b\"><data key=\"c\">2</data></edge>\n"
    "  <edge source=\"b\" target=\"s\"/>\n"
    "  <edge source=\"s\" target=\"o\"><data key=\"c\">-2147483648</data></edge>\n"
    "  <edge source=\"o\" target=\"u\"><data key=\"c\">1</data></edge>\n"
    "  <edge source=\"u\" target=\"d1\"><data key=\"c\">1</data></edge>\n"
    "  <edge source=\"d1\" target=\"d2\"><data key=\"c\">1</data></edge>\n"
    "  <edge source=\"d2\" target=\"q\"><data key=\"c\">1</data></edge>\n"
    " </graph>\n"
    "</graphml>\n";

TEST(GoldenOutputs, ConvertedGraphsAreWrittenAsBefore) {
  const kytest::TempFile tricky(kTricky, ".graphml");
  const std::string network = kytest::sourcePath("docs/examples/network.csv");
  const std::string services = kytest::sourcePath("docs/examples/services.txt");
  const std::string serviceNodes = kytest::sourcePath("docs/examples/services-nodes.txt");
  const std::string request = kytest::sourcePath("docs/examples/request.xml");
  const struct {
    const char* golden;
    Args args; // the input options; the output is added
    const char* suffix;
    bool nodeTable;
  } cases[] = {
      {"tricky-to-edges.txt", {"--graph", tricky.path()}, ".txt", true},
      {"tricky-to-edges.csv", {"--graph", tricky.path()}, ".csv", true},
      {"tricky-to-edges.tsv", {"--graph", tricky.path()}, ".tsv", true},
      {"tricky-to.graphml", {"--graph", tricky.path()}, ".graphml", false},
      {"tricky-to-document.xml",
       {"--graph", tricky.path(), "--analysis", "shortestPaths", "--set", "startNode=source"},
       ".xml",
       false},
      {"network-to.graphml", {"--graph", network, "--undirected"}, ".graphml", false},
      {"services-to-edges.csv", {"--graph", services, "--nodes", serviceNodes}, ".csv", true},
      {"request-to.graphml", {"--graph", request}, ".graphml", false},
      {"request-to-edges.txt", {"--graph", request}, ".txt", true},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.golden);
    const kytest::TempFile output("", test.suffix), nodes("", ".txt");
    Args args{"convert"};
    args.insert(args.end(), test.args.begin(), test.args.end());
    args.push_back(output.path());
    if (test.nodeTable)
      args.insert(args.end(), {"--nodes-out", nodes.path()});
    const kytest::Outcome outcome = kytest::runProcess(KYANALYZE_PATH, args);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    expectGolden(test.golden, output.read());
    if (test.nodeTable)
      expectGolden(std::string(test.golden) + ".nodes", nodes.read());
    std::string notes = outcome.err;
    for (std::size_t at; (at = notes.find(output.path())) != std::string::npos;)
      notes.replace(at, output.path().size(), "OUTPUT");
    expectGolden(std::string(test.golden) + ".err", notes);
  }
}

TEST(GoldenOutputs, AnswersAndListingsAreWrittenAsBefore) {
  const kytest::TempFile tricky(kTricky, ".graphml");
  const std::string network = kytest::sourcePath("docs/examples/network.csv");
  const std::string roads = kytest::sourcePath("examples/roads.txt");
  const std::string request = kytest::sourcePath("docs/examples/request.xml");
  const std::string services = kytest::sourcePath("docs/examples/services.txt");
  const std::string serviceNodes = kytest::sourcePath("docs/examples/services-nodes.txt");
  const Args flow{"--set", "sourceNode=plant", "--set", "sinkNode=depot"};
  const Args route{"--set", "startNode=Ashby", "--set", "finishNode=Harlow"};
  const Args flowRun = [&] {
    Args args{"run", "maximumFlow", "--graph", network};
    args.insert(args.end(), flow.begin(), flow.end());
    return args;
  }();
  auto with = [](Args args, const Args& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  const struct {
    const char* golden;
    Args args;
  } cases[] = {
      {"maximumFlow.txt", flowRun},
      {"maximumFlow.json", with(flowRun, {"--json"})},
      {"maximumFlow.csv", with(flowRun, {"--csv"})},
      {"maximumFlow-undirected.txt", with(flowRun, {"--undirected"})},
      {"maximumFlow-undirected.json", with(flowRun, {"--undirected", "--json"})},
      {"minimumCut.txt", with({"run", "minimumCut", "--graph", network}, flow)},
      {"minimumCostFlow.csv",
       with({"run", "minimumCostFlow", "--graph", network, "--csv", "--set", "desiredFlow=9"},
            flow)},
      {"disjointPaths.json",
       {"run", "disjointPaths", "--graph", network, "--set", "startNode=plant", "--set",
        "finishNode=depot", "--json"}},
      {"connectedComponents-tricky.txt", {"run", "connectedComponents", "--graph", tricky.path()}},
      {"connectedComponents-tricky.csv",
       {"run", "connectedComponents", "--graph", tricky.path(), "--csv"}},
      {"connectedComponents-tricky.json",
       {"run", "connectedComponents", "--graph", tricky.path(), "--json"}},
      {"depthFirstSearch-tricky.txt", {"run", "depthFirstSearch", "--graph", tricky.path()}},
      {"depthFirstSearch-tricky.csv",
       {"run", "depthFirstSearch", "--graph", tricky.path(), "--csv"}},
      {"shortestPaths-roads.txt", with({"run", "shortestPaths", "--graph", roads}, route)},
      {"shortestPaths-roads.json",
       with({"run", "shortestPaths", "--graph", roads, "--undirected", "--json"}, route)},
      {"sortedPaths-roads.txt", with({"run", "sortedPaths", "--graph", roads}, route)},
      {"allPairsShortestPaths.csv",
       {"run", "allPairsShortestPaths", "--graph", services, "--nodes", serviceNodes, "--csv"}},
      {"allPairsShortestPaths.txt",
       {"run", "allPairsShortestPaths", "--graph", network, "--undirected"}},
      {"stronglyConnectedComponents.txt",
       {"run", "stronglyConnectedComponents", "--graph", tricky.path()}},
      {"clustering-request.txt", {"run", "--request", request}},
      {"clustering-request.json", {"run", "--request", request, "--json"}},
      {"clustering-request.csv", {"run", "--request", request, "--csv"}},
      {"paths-roads.txt",
       {"paths", "--graph", roads, "--from", "Ashby", "--to", "Harlow", "-k", "4", "--undirected"}},
      {"paths-roads.json",
       {"paths", "--graph", roads, "--from", "Ashby", "--to", "Harlow", "-k", "2", "--json"}},
      {"paths-none.txt", {"paths", "--graph", network, "--from", "depot", "--to", "plant"}},
      {"show-request.txt", {"show", request}},
      {"encode-request.txt", {"encode", request}},
      {"describe.txt", {"describe"}},
      {"describe.json", {"describe", "--json"}},
      {"describe-clustering.txt", {"describe", "clustering"}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.golden);
    const kytest::Outcome outcome = kytest::runProcess(KYANALYZE_PATH, test.args);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    expectGolden(test.golden, outcome.out);
  }
}

TEST(GoldenOutputs, DrawingsAreWrittenAsBefore) {
  const kytest::TempFile tricky(kTricky, ".graphml");
  const std::string network = kytest::sourcePath("docs/examples/network.csv");
  const std::string roads = kytest::sourcePath("examples/roads.txt");
  const struct {
    const char* golden;
    Args args;
  } cases[] = {
      {"maximumFlow.dot",
       {"run", "maximumFlow", "--graph", network, "--set", "sourceNode=plant", "--set",
        "sinkNode=depot"}},
      {"minimumCut.dot",
       {"run", "minimumCut", "--graph", network, "--set", "sourceNode=plant", "--set",
        "sinkNode=depot"}},
      {"disjointPaths.dot",
       {"run", "disjointPaths", "--graph", network, "--set", "startNode=plant", "--set",
        "finishNode=depot"}},
      {"shortestPaths-undirected.dot",
       {"run", "shortestPaths", "--graph", roads, "--undirected", "--set", "startNode=Ashby",
        "--set", "finishNode=Harlow"}},
      {"sortedPaths.dot",
       {"run", "sortedPaths", "--graph", roads, "--set", "startNode=Ashby", "--set",
        "finishNode=Harlow"}},
      {"stronglyConnectedComponents-tricky.dot",
       {"run", "stronglyConnectedComponents", "--graph", tricky.path()}},
      {"depthFirstSearch-tricky.dot", {"run", "depthFirstSearch", "--graph", tricky.path()}},
      {"reachableNodes-tricky.dot",
       {"run", "reachableNodes", "--graph", tricky.path(), "--set", "startNode=source"}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.golden);
    const kytest::TempFile dot("", ".dot");
    Args args = test.args;
    args.insert(args.end(), {"--dot", dot.path()});
    const kytest::Outcome outcome = kytest::runProcess(KYANALYZE_PATH, args);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    expectGolden(test.golden, dot.read());
  }
}

} // namespace
