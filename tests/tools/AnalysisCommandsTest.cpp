// Runs kyanalyze's run and paths as a person would: edge lists and analysis
// documents in, text, JSON and Graphviz out, and one-line failures with
// their exit status.
#include "support/KyProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace {

using Json = nlohmann::json;
using Args = std::vector<std::string>;
using kytest::Outcome;

using kytest::TempFile;

Outcome run(const Args& args) { return kytest::runProcess(KYANALYZE_PATH, args); }

const std::string kRequest = kytest::sourcePath("docs/examples/request.xml");

// a -> b -> d costs 2, a -> c -> d costs 5, a -> d costs 9; e stands alone.
const char* const kDiamond = "# a small graph\n"
                             "a b 1\n"
                             "b d 1   # cheap\n"
                             "\n"
                             "a c 2\n"
                             "c d 3\n"
                             "a d 9\n"
                             "e\n";

Outcome expectSuccess(const Args& args) {
  Outcome outcome = run(args);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  return outcome;
}

TEST(AnalysisCommands, PathsListsTheCheapestPathsInOrder) {
  const TempFile graph(kDiamond);
  const Args base{"paths", "--graph", graph.path(), "--from", "a", "--to", "d"};
  EXPECT_EQ(expectSuccess(base).out, "a -> b -> d  (cost 2)\n"
                                     "a -> c -> d  (cost 5)\n"
                                     "a -> d  (cost 9)\n");
  Args two = base;
  two.insert(two.end(), {"-k", "2", "--json"});
  const Json paths = Json::parse(expectSuccess(two).out);
  ASSERT_EQ(paths["paths"].size(), 2u);
  EXPECT_EQ(paths["paths"][1]["nodes"], (Json{"a", "c", "d"}));
  EXPECT_EQ(paths["paths"][1]["cost"], 5);
  EXPECT_EQ(paths["paths"][1]["edges"][0], (Json{{"source", "a"}, {"target", "c"}, {"index", 2}}));

  EXPECT_EQ(expectSuccess({"paths", "--graph", graph.path(), "--from", "d", "--to", "a"}).out,
            "no path from d to a\n");
  EXPECT_EQ(expectSuccess({"paths", "--graph", graph.path(), "--from", "a", "--to", "a"}).out,
            "a  (cost 0)\n");
}

TEST(AnalysisCommands, RunPrintsTheAnswerByNameAsTextAndJson) {
  const TempFile graph(kDiamond);
  const Args shortest{"run",   "shortestPaths", "--graph", graph.path(),
                      "--set", "startNode=a",   "--set",   "finishNode=d"};
  const Outcome text = expectSuccess(shortest);
  EXPECT_NE(text.out.find("edgeList: a -> b -> d  (cost 2)\n"), std::string::npos) << text.out;

  Args json = shortest;
  json.push_back("--json");
  const Json answer = Json::parse(expectSuccess(json).out);
  EXPECT_EQ(answer["analysis"], "shortestPaths");
  EXPECT_EQ(answer["results"]["pathExists"], true);
  EXPECT_EQ(answer["results"]["totalCost"], 2);
  EXPECT_EQ(answer["results"]["edgeList"].size(), 2u);

  // Walked against its direction, an edge still chains into the path.
  const TempFile against("a b 1\nc b 1\n");
  const Outcome undirected =
      expectSuccess({"run", "shortestPaths", "--graph", against.path(), "--set", "startNode=a",
                     "--set", "finishNode=c", "--set", "undirected=true"});
  EXPECT_NE(undirected.out.find("edgeList: a -> b -> c  (cost 2)"), std::string::npos)
      << undirected.out;

  // A lone node makes a component of its own; per-node results form a table.
  const Json components = Json::parse(
      expectSuccess({"run", "connectedComponents", "--graph", graph.path(), "--json"}).out);
  EXPECT_EQ(components["results"]["componentList"].size(), 2u);
  EXPECT_EQ(components["results"]["componentNumber"].size(), 5u);
  EXPECT_EQ(components["results"]["componentNumber"][4]["node"], "e");
  const Outcome table = expectSuccess({"run", "connectedComponents", "--graph", graph.path()});
  EXPECT_NE(table.out.find("\nnode  componentNumber\na     "), std::string::npos) << table.out;

  // The third column is the edge cost, or else the capacity.
  const TempFile one("s t 7\n");
  const Json flow =
      Json::parse(expectSuccess({"run", "maximumFlow", "--graph", one.path(), "--set",
                                 "sourceNode=s", "--set", "sinkNode=t", "--json"})
                      .out);
  EXPECT_EQ(flow["results"]["totalFlow"], 7);
  EXPECT_EQ(flow["results"]["flow"][0]["value"], 7);
  const Json tree = Json::parse(
      expectSuccess({"run", "minimumSpanningTree", "--graph", one.path(), "--json"}).out);
  EXPECT_EQ(tree["results"]["totalCost"], 7);
}

TEST(AnalysisCommands, AnswersOfEveryShapeComeOutByName) {
  const TempFile diamond(kDiamond);
  const std::string g = diamond.path();
  // Sorted paths: the paths, without the engine's helper graph.
  const Args sorted{"run",   "sortedPaths", "--graph", g,
                    "--set", "startNode=a", "--set",   "finishNode=d"};
  EXPECT_NE(expectSuccess(sorted).out.find("\npaths:\n  a -> b -> d  (cost 2)\n"),
            std::string::npos);
  Args sortedJson = sorted;
  sortedJson.push_back("--json");
  const Json answer = Json::parse(expectSuccess(sortedJson).out);
  EXPECT_EQ(answer["paths"].size(), 3u);
  EXPECT_FALSE(answer["results"].contains("pathGraph"));
  EXPECT_FALSE(answer["results"].contains("rootNode"));

  // Results owned by pairs of nodes.
  const Json pairs =
      Json::parse(expectSuccess({"run", "allPairsShortestPaths", "--graph", g, "--json"}).out);
  bool found = false;
  for (const Json& entry : pairs["results"]["totalCost"])
    found |= entry == Json{{"from", "a"}, {"to", "d"}, {"value", 2}};
  EXPECT_TRUE(found) << pairs.dump();

  // A saved request with its constraints, and --set on top of its options.
  const Outcome saved = expectSuccess({"run", "--request", kRequest});
  EXPECT_NE(saved.out.find("clusterList:\n"), std::string::npos) << saved.out;
  EXPECT_NE(saved.out.find("sameCluster: web cache  "), std::string::npos) << saved.out;
  const Json one = Json::parse(
      expectSuccess({"run", "--request", kRequest, "--set", "maxNumberOfClusters=1", "--json"}).out);
  EXPECT_EQ(one["results"]["clusterList"].size(), 1u);
  EXPECT_EQ(one["results"]["fulfilled"][1],
            (Json{{"constraint", "differentClusters: db queue"}, {"value", false}}));
  // A document may also serve as the graph of a new request.
  const Outcome graph = expectSuccess({"run", "shortestPaths", "--graph", kRequest, "--set",
                                       "startNode=web", "--set", "finishNode=db"});
  EXPECT_NE(graph.out.find("edgeList: web -> db  (cost 1)"), std::string::npos) << graph.out;
}

TEST(AnalysisCommands, EdgeListsKeepUtf8NamesAndToleratePcLineEnds) {
  const TempFile graph("Z\xc3\xbcrich Gen\xc3\xa8ve 3\r\nGen\xc3\xa8ve Bern 4\r\n");
  const Outcome outcome = expectSuccess(
      {"paths", "--graph", graph.path(), "--from", "Z\xc3\xbcrich", "--to", "Bern", "--json"});
  const Json paths = Json::parse(outcome.out);
  EXPECT_EQ(paths["paths"][0]["nodes"], (Json{"Z\xc3\xbcrich", "Gen\xc3\xa8ve", "Bern"}));
  EXPECT_EQ(paths["paths"][0]["cost"], 7);
  // Overlong forms and surrogates are no UTF-8.
  for (const char* text : {"a \xc0\xaf\n", "a \xed\xa0\x80\n", "a \xf4\x90\x80\x80\n"}) {
    const TempFile bad(text);
    const Outcome refused = run({"run", "treeTest", "--graph", bad.path()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(":1: not valid UTF-8 text"), std::string::npos) << refused.err;
  }
}

TEST(AnalysisCommands, DotDrawsTheAnswerOnTheGraph) {
  const TempFile graph(kDiamond);
  const struct {
    Args args;
    std::vector<std::string> lines;
  } cases[] = {
      {{"shortestPaths", "--set", "startNode=a", "--set", "finishNode=d"},
       {"\"a\" [penwidth=2.5];", "\"a\" -> \"b\" [color=\"#e41a1c\", penwidth=2.5, label=\"1\"];",
        "\"a\" -> \"d\" [label=\"9\"];"}},
      {{"minimumCut", "--set", "sourceNode=a", "--set", "sinkNode=d"},
       {"\"a\" -> \"d\" [color=\"#e41a1c\", penwidth=2.5, style=dashed, label=\"9\"];"}},
      {{"connectedComponents"},
       {"\"a\" [fillcolor=\"#8dd3c7\"];", "\"e\" [fillcolor=\"#ffffb3\"];"}},
      {{"maximumFlow", "--set", "sourceNode=a", "--set", "sinkNode=d"},
       {"\"c\" -> \"d\" [label=\"3, flow 2\"];"}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.args[0]);
    const TempFile dot("", ".dot");
    Args args{"run", "--graph", graph.path(), "--dot", dot.path()};
    args.insert(args.begin() + 1, test.args.begin(), test.args.end());
    expectSuccess(args);
    const std::string drawn = dot.read();
    EXPECT_EQ(drawn.rfind("digraph \"" + test.args[0] + "\" {\n", 0), 0u) << drawn;
    for (const std::string& line : test.lines)
      EXPECT_NE(drawn.find("  " + line + "\n"), std::string::npos) << line << '\n' << drawn;
  }
}

TEST(AnalysisCommands, EveryMistakeGetsOneLineAndItsStatus) {
  const TempFile graph(kDiamond);
  const TempFile longLine("a b 1 2\n");
  const TempFile badCost("a b\nb c 99999999999\n");
  const TempFile badText("a \xff\n");
  const std::string g = graph.path();
  const struct {
    Args args;
    int status;
    std::string says;
  } cases[] = {
      {{"run", "shortest", "--graph", g}, 2, "unknown analysis 'shortest'; valid analyses: "},
      {{"run", "shortestPaths"}, 2, "run needs an analysis and --graph FILE"},
      {{"run", "--request", g, "--graph", g}, 2, "excludes"},
      {{"run", "shortestPaths", "--graph", g, "--set", "start=a"},
       2,
       "shortestPaths has no option 'start'; its options are undirected, startNode, finishNode"},
      {{"run", "acyclicTest", "--graph", g, "--set", "x=1"}, 2, "it has none to set"},
      {{"run", "shortestPaths", "--graph", g, "--set", "startNode"}, 2, "expected NAME=VALUE"},
      {{"run", "shortestPaths", "--graph", g, "--set", "x\ny=1"}, 2, "no option 'x?y'"},
      {{"run", "shortestPaths", "--graph", g, "--set", "startNode=z"},
       2,
       "startNode takes a node name; the graph has no node named 'z'"},
      {{"run", "shortestPaths", "--graph", g, "--set", "undirected=yes"},
       2,
       "undirected takes 0, 1, true or false, not 'yes'"},
      {{"run", "clustering", "--graph", g, "--set", "quality=BEST"},
       2,
       "quality takes one of CLUSTERING_QUALITY_DRAFT, CLUSTERING_QUALITY_MEDIUM, "},
      {{"run", "clustering", "--graph", g, "--set", "quality=3"}, 2, "not '3'"},
      {{"run", "clustering", "--graph", g, "--set", "balance=1.5x"}, 2, "a decimal number"},
      {{"run", "rootCause", "--graph", g, "--set", "effectNodeList=a,zz"}, 2, "no node named 'zz'"},
      {{"run", "clustering", "--graph", g, "--set", "constraintManager=a"},
       2,
       "cannot be set from the command line"},
      {{"paths", "--graph", g, "--from", "a", "--to", "nowhere"}, 2, "--to: the graph has no node"},
      {{"paths", "--graph", g, "--from", "a", "--to", "d", "-k", "0"}, 2, "-k"},
      {{"run", "treeTest", "--graph", "/nonexistent/g.txt"},
       1,
       "/nonexistent/g.txt: cannot be read"},
      {{"run", "treeTest", "--graph", "/nonexistent/g.xml"},
       1,
       "/nonexistent/g.xml: cannot be read"},
      {{"run", "treeTest", "--graph", "/tmp"}, 1, "/tmp: cannot be read"},
      {{"run", "treeTest", "--graph", longLine.path()},
       1,
       ":1: expected 'source target [cost]', found 4 fields"},
      {{"run", "treeTest", "--graph", badCost.path()},
       1,
       ":2: the cost '99999999999' is not a 32-bit integer"},
      {{"run", "treeTest", "--graph", badText.path()}, 1, ":1: not valid UTF-8 text"},
      {{"run", "shortestPaths", "--graph", g, "--set", "finishNode=d"},
       1,
       "shortestPaths: ANALYSIS_ERROR_NO_START_NODE (6): "},
      {{"run", "treeTest", "--graph", g, "--dot", "/nonexistent/out.dot"},
       1,
       "/nonexistent/out.dot: cannot be written"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.args[1] + " " + test.args.back());
    const Outcome outcome = run(test.args);
    EXPECT_EQ(outcome.status, test.status);
    EXPECT_EQ(outcome.out, "");
    // The tool's own diagnostics take one line; the command-line parser adds a hint.
    const std::string first = outcome.err.substr(0, outcome.err.find('\n') + 1);
    EXPECT_NE(first.find(test.says), std::string::npos) << outcome.err;
    if (first.rfind("kyanalyze: ", 0) == 0)
      EXPECT_EQ(first, outcome.err);
    else
      EXPECT_EQ(outcome.err.substr(first.size()), "Run with --help for more information.\n");
  }
}

} // namespace
