// Runs kyanalyze's run and paths as a person would: edge lists, GraphML and
// analysis documents in, text, JSON, CSV and Graphviz out, and one-line
// failures with their exit status.
#include "support/KyProcess.h"

#include <kyanalysis/KyAnalysisXMLWriter.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <random>
#include <string>
#include <vector>

namespace {

using Json = nlohmann::json;
using Args = std::vector<std::string>;
using kytest::Outcome;
using kytest::TempFile;

Outcome run(const Args& args, const std::string& input = "") {
  return kytest::runProcess(KYANALYZE_PATH, args, input);
}

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

Outcome expectSuccess(const Args& args, const std::string& input = "") {
  Outcome outcome = run(args, input);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  return outcome;
}

Json node(int id, const char* name) { return Json{{"id", id}, {"name", name}}; }

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
  EXPECT_EQ(paths["from"], node(0, "a"));
  EXPECT_EQ(paths["paths"][1]["nodes"], (Json{node(0, "a"), node(3, "c"), node(2, "d")}));
  EXPECT_EQ(paths["paths"][1]["cost"], 5);
  EXPECT_EQ(paths["paths"][1]["edges"][0],
            (Json{{"index", 2}, {"source", node(0, "a")}, {"target", node(3, "c")}}));

  EXPECT_EQ(expectSuccess({"paths", "--graph", graph.path(), "--from", "d", "--to", "a"}).out,
            "no path from d to a\n");
  EXPECT_EQ(expectSuccess({"paths", "--graph", graph.path(), "--from", "a", "--to", "a"}).out,
            "a  (cost 0)\n");
  // Roads run both ways: --undirected follows each edge against its direction too.
  EXPECT_EQ(expectSuccess({"paths", "--graph", graph.path(), "--from", "d", "--to", "a", "-k", "1",
                           "--undirected"})
                .out,
            "d -> b -> a  (cost 2)\n");
}

// Walks are read from their start: a walk that leaves the start and comes
// back is not mistaken for one that starts elsewhere.
TEST(AnalysisCommands, WalksFollowTheirEdgesFromTheStart) {
  const TempFile back("A B 1\nB A 1\nA C 5\n");
  EXPECT_EQ(
      expectSuccess({"paths", "--graph", back.path(), "--from", "A", "--to", "C", "-k", "3"}).out,
      "A -> C  (cost 5)\nA -> B -> A -> C  (cost 7)\nA -> B -> A -> B -> A -> C  (cost 9)\n");
  const TempFile reversed("b a 4\n");
  // A Boolean option reads as a Boolean column does, in any case.
  for (const char* yes : {"1", "true", "True", "TRUE"})
    EXPECT_NE(
        expectSuccess({"run", "shortestPaths", "--graph", reversed.path(), "--set", "startNode=a",
                       "--set", "finishNode=b", "--set", std::string("undirected=") + yes})
            .out.find("edgeList: a -> b  (cost 4)\n"),
        std::string::npos)
        << yes;

  // Any path of any multigraph: its nodes run from the start to the finish
  // along its edges, each edge from the node before to the node after.
  std::mt19937 random(11);
  for (int round = 0; round < 25; ++round) {
    std::string text;
    for (int e = 0; e < 12; ++e)
      text += std::string(1, static_cast<char>('a' + random() % 5)) + " " +
              static_cast<char>('a' + random() % 5) + " " + std::to_string(random() % 4) + "\n";
    const TempFile graph(text);
    const bool undirected = round % 2 == 1;
    Args args{"paths", "--graph", graph.path(), "--from", "a", "--to", "e", "-k", "6", "--json"};
    if (undirected)
      args.push_back("--undirected");
    const Outcome outcome = run(args);
    if (outcome.status == 2) // a name missing from this graph
      continue;
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const Json answer = Json::parse(outcome.out);
    for (const Json& path : answer["paths"]) {
      const Json& nodes = path["nodes"];
      const Json& edges = path["edges"];
      ASSERT_EQ(nodes.size(), edges.size() + 1) << path.dump() << text;
      EXPECT_EQ(nodes.front()["name"], "a");
      EXPECT_EQ(nodes.back()["name"], "e");
      for (std::size_t i = 0; i < edges.size(); ++i) {
        const bool along = edges[i]["source"] == nodes[i] && edges[i]["target"] == nodes[i + 1];
        const bool against = edges[i]["target"] == nodes[i] && edges[i]["source"] == nodes[i + 1];
        EXPECT_TRUE(along || (undirected && against)) << path.dump() << text;
      }
    }
  }
}

TEST(AnalysisCommands, EdgeSetsPrintAsEdgesAndWalksAsChains) {
  const TempFile flow("s a 10\ns b 5\na b 15\na t 5\nb t 10\n");
  const std::string g = flow.path();
  const struct {
    Args args;
    std::string line;
  } cases[] = {
      {{"minimumCut", "--set", "sourceNode=s", "--set", "sinkNode=t"},
       "edgeList: s -> a, s -> b\n"},
      {{"minimumSpanningTree"}, "treeEdgeList: s -> b, a -> t, s -> a\n"},
      {{"pathExistsTest", "--set", "startNode=s", "--set", "finishNode=t"},
       "edgeList: s -> b -> t\n"},
      {{"disjointPaths", "--set", "startNode=s", "--set", "finishNode=t"},
       "pathList:\n  s -> b -> t\n  s -> a -> t\n"},
      {{"depthFirstSearch"}, "s -> b  EDGE_TYPE_FORWARD\n"},
      {{"stronglyConnectedComponents", "--undirected"},
       "edgeComponentList:\n  s -> a, s -> b, a -> b, a -> t, b -> t\n"},
  };
  for (const auto& test : cases) {
    Args args{"run", test.args[0], "--graph", g};
    args.insert(args.end(), test.args.begin() + 1, test.args.end());
    const Outcome outcome = expectSuccess(args);
    EXPECT_NE(outcome.out.find(test.line), std::string::npos) << test.args[0] << '\n'
                                                              << outcome.out;
  }
  const Json dfs =
      Json::parse(expectSuccess({"run", "depthFirstSearch", "--graph", g, "--json"}).out);
  EXPECT_EQ(dfs["results"]["type"][1]["value"], 3);
  EXPECT_EQ(dfs["results"]["type"][1]["valueName"], "EDGE_TYPE_FORWARD");
}

TEST(AnalysisCommands, NodesOfOneNameStayDistinct) {
  // Two nodes named "a", one named "a#1", and one without a name beside one
  // named "node 4": every table, answer and drawing keeps all five apart.
  const TempFile graph("<graphml><key id='n' for='node' attr.name='name'/><graph>"
                       "<node id='x'><data key='n'>a</data></node>"
                       "<node id='y'><data key='n'>a</data></node>"
                       "<node id='z'><data key='n'>a#1</data></node>"
                       "<node id='w'><data key='n'>node 4</data></node>"
                       "<node id='node 4'/>"
                       "<edge source='x' target='y'/><edge source='y' target='z'/></graph>"
                       "</graphml>",
                       ".graphml");
  const TempFile dot("", ".dot");
  const Outcome table =
      expectSuccess({"run", "connectedComponents", "--graph", graph.path(), "--dot", dot.path()});
  EXPECT_NE(table.out.find("\nnode      componentNumber\n"
                           "a#0       1\n"
                           "a#1#1     1\n"
                           "a#1       1\n"
                           "node 4#3  2\n"
                           "node 4#4  3\n"),
            std::string::npos)
      << table.out;
  for (const char* drawn : {"\"a#0\" -> \"a#1#1\"", "\"a#1#1\" -> \"a#1\";"})
    EXPECT_NE(dot.read().find(drawn), std::string::npos) << dot.read();
  const Json json = Json::parse(
      expectSuccess({"run", "connectedComponents", "--graph", graph.path(), "--json"}).out);
  EXPECT_EQ(json["results"]["componentNumber"][1]["node"], node(1, "a"));

  // A node without a name is called by its position, which a real name may take.
  const TempFile document("", ".xml");
  {
    KyGraph made;
    made.addNode()->pName(L"node 1");
    KyNode* unnamed = made.addNode();
    made.addEdge(unnamed, made.addNode());
    KyServiceInputData data;
    data.storeReference(nullptr, L"all:none:graph", &made);
    const std::wstring path(document.path().begin(), document.path().end());
    KyAnalysisXMLWriter writer(path.c_str());
    writer.pGraph(&made);
    writer.pServiceInputData(&data);
    ASSERT_EQ(writer.write(), 1);
  }
  EXPECT_EQ(expectSuccess({"run", "topologicalSort", "--graph", document.path()}).out,
            "nodeList: node 1#0, node 1#1, node 2\nacyclic: true\n\n"
            "node      orderNumber\nnode 1#0  1\nnode 1#1  2\nnode 2    3\n");
  // A name that is no label finds the one node that has it.
  const Outcome byName =
      run({"paths", "--graph", document.path(), "--from", "node 1", "--to", "node 1#1"});
  EXPECT_EQ(byName.status, 0);
  EXPECT_EQ(byName.out, "no path from node 1#0 to node 1#1\n");

  // A shared name is refused, naming the labels that tell its nodes apart.
  const Outcome ambiguous = run({"paths", "--graph", graph.path(), "--from", "a", "--to", "a#1"});
  EXPECT_EQ(ambiguous.status, 2);
  EXPECT_EQ(ambiguous.err, "kyanalyze: --from: the graph has 2 nodes named 'a'; name one by its "
                           "label: a#0 a#1#1\n");
  EXPECT_EQ(expectSuccess({"paths", "--graph", graph.path(), "--from", "a#0", "--to", "a#1"}).out,
            "a#0 -> a#1#1 -> a#1  (cost 2)\n");
}

TEST(AnalysisCommands, RunPrintsTheAnswerByNameAsTextJsonAndCsv) {
  const TempFile graph(kDiamond);
  const Args shortest{"run",   "shortestPaths", "--graph", graph.path(),
                      "--set", "startNode=a",   "--set",   "finishNode=d"};
  EXPECT_NE(expectSuccess(shortest).out.find("edgeList: a -> b -> d  (cost 2)\n"),
            std::string::npos);
  Args json = shortest;
  json.push_back("--json");
  const Json answer = Json::parse(expectSuccess(json).out);
  EXPECT_EQ(answer["analysis"], "shortestPaths");
  EXPECT_EQ(answer["results"]["totalCost"], 2);
  EXPECT_EQ(answer["results"]["edgeList"]["nodes"].size(), 3u);

  // A lone node makes a component of its own; per-node results form a table.
  const Outcome table = expectSuccess({"run", "connectedComponents", "--graph", graph.path()});
  EXPECT_NE(table.out.find("\nnode  componentNumber\na     "), std::string::npos) << table.out;
  EXPECT_EQ(expectSuccess({"run", "connectedComponents", "--graph", graph.path(), "--csv"}).out,
            "result,value\ncomponentList,\"a, b, d, c, e\"\n"
            "\nid,node,componentNumber\n0,a,1\n1,b,1\n2,d,1\n3,c,1\n4,e,2\n");

  // The third column is the edge cost, or else the capacity.
  const TempFile one("s t 7\n");
  const Json flow = Json::parse(expectSuccess({"run", "maximumFlow", "--graph", one.path(), "--set",
                                               "sourceNode=s", "--set", "sinkNode=t", "--json"})
                                    .out);
  EXPECT_EQ(flow["results"]["totalFlow"], 7);
  // Columns named by a header, a node table, standard input.
  const TempFile nodes("node,capacity\nm,3\n");
  const Json capped =
      Json::parse(expectSuccess({"run", "maximumFlow", "--graph", "-", "--nodes", nodes.path(),
                                 "--set", "sourceNode=s", "--set", "sinkNode=t", "--json"},
                                "source,target,cost,capacity\ns,m,1,5\nm,t,1,5\ns,t,1,2\n")
                      .out);
  EXPECT_EQ(capped["results"]["totalFlow"], 5);
}

TEST(AnalysisCommands, UndirectedReachesEveryAnalysis) {
  // b -> a -> c, d -> c: undirected, everything hangs together.
  const TempFile graph("b a 1\na c 1\nd c 1\n");
  const std::vector<Args> analyses = {
      {"breadthFirstSearch"},
      {"depthFirstSearch"},
      {"connectedComponents"},
      {"biconnectedComponents"},
      {"stronglyConnectedComponents"},
      {"pathExistsTest", "startNode=a", "finishNode=b"},
      {"uniquePathTest", "startNode=a", "finishNode=b"},
      {"disjointPaths", "startNode=a", "finishNode=b"},
      {"reachableNodes", "startNode=c"},
      {"shortestPaths", "startNode=d", "finishNode=b"},
      {"allPairsShortestPaths"},
      {"newCycleTest", "sourceNode=b", "targetNode=d"},
      {"treeTest"},
      {"minimumSpanningTree"},
      {"maximumFlow", "sourceNode=d", "sinkNode=b"},
      {"minimumCostFlow", "sourceNode=d", "sinkNode=b", "desiredFlow=1"},
      {"minimumCut", "sourceNode=d", "sinkNode=b"},
      {"clustering"},
      {"sortedPaths", "startNode=d", "finishNode=b"},
      {"rootCause", "effectNodeList=b"},
  };
  for (const Args& analysis : analyses) {
    Args args{"run", analysis[0], "--graph", graph.path(), "--undirected", "--json"};
    for (std::size_t i = 1; i < analysis.size(); ++i)
      args.insert(args.end(), {"--set", analysis[i]});
    const Outcome outcome = run(args);
    ASSERT_EQ(outcome.status, 0) << analysis[0] << ": " << outcome.err;
    const Json results = Json::parse(outcome.out)["results"];
    for (const char* reached : {"pathExists", "uniquePathExists", "willCreateCycle", "tree"})
      EXPECT_TRUE(!results.contains(reached) || results[reached] == true) << analysis[0];
    EXPECT_TRUE(!results.contains("nodeList") || results["nodeList"].size() == 4u) << analysis[0];
    for (const char* found : {"numberOfDisjointPaths", "totalFlow"})
      EXPECT_TRUE(!results.contains(found) || results[found] == 1) << analysis[0];
  }
  // Flows against an edge's direction come out negative on that edge.
  const Json flow =
      Json::parse(expectSuccess({"run", "maximumFlow", "--graph", graph.path(), "--undirected",
                                 "--set", "sourceNode=d", "--set", "sinkNode=b", "--json"})
                      .out);
  EXPECT_EQ(flow["results"]["flow"][0]["value"], -1);
  EXPECT_EQ(flow["results"]["flow"][2]["value"], 1);
  for (const char* refused : {"topologicalSort", "acyclicTest", "cycleBreakingEdgeDetection"}) {
    const Outcome outcome = run({"run", refused, "--graph", graph.path(), "--undirected"});
    EXPECT_EQ(outcome.status, 2) << refused;
    EXPECT_NE(outcome.err.find("cannot follow edges both ways"), std::string::npos);
  }
}

TEST(AnalysisCommands, AnswersOfEveryShapeComeOutByName) {
  const TempFile diamond(kDiamond);
  const std::string g = diamond.path();
  const Args sorted{"run",   "sortedPaths", "--graph", g,
                    "--set", "startNode=a", "--set",   "finishNode=d"};
  EXPECT_NE(expectSuccess(sorted).out.find("\npaths:\n  a -> b -> d  (cost 2)\n"),
            std::string::npos);
  Args sortedJson = sorted;
  sortedJson.push_back("--json");
  const Json answer = Json::parse(expectSuccess(sortedJson).out);
  EXPECT_EQ(answer["paths"].size(), 3u);
  for (const char* helper : {"pathGraph", "rootNode", "sidetrackEdge", "cost", "type"})
    EXPECT_FALSE(answer["results"].contains(helper)) << helper;

  const Json pairs =
      Json::parse(expectSuccess({"run", "allPairsShortestPaths", "--graph", g, "--json"}).out);
  bool found = false;
  for (const Json& entry : pairs["results"]["totalCost"])
    found |= entry == Json{{"from", node(0, "a")}, {"to", node(2, "d")}, {"value", 2}};
  EXPECT_TRUE(found) << pairs.dump();

  // A saved request with its constraints, and --set on top of its options.
  const Outcome saved = expectSuccess({"run", "--request", kRequest});
  EXPECT_NE(saved.out.find("clusterList:\n"), std::string::npos) << saved.out;
  EXPECT_NE(saved.out.find("sameCluster: web cache  "), std::string::npos) << saved.out;
  const Json one = Json::parse(
      expectSuccess({"run", "--request", kRequest, "--set", "maxNumberOfClusters=1", "--json"})
          .out);
  EXPECT_EQ(one["results"]["clusterList"].size(), 1u);
  EXPECT_EQ(one["results"]["fulfilled"][1]["constraint"]["type"], "differentClusters");
  EXPECT_EQ(one["results"]["fulfilled"][1]["value"], false);
  const Outcome graph = expectSuccess({"run", "shortestPaths", "--graph", kRequest, "--set",
                                       "startNode=web", "--set", "finishNode=db"});
  EXPECT_NE(graph.out.find("edgeList: web -> db  (cost 1)"), std::string::npos) << graph.out;
}

TEST(AnalysisCommands, NamesAreEscapedAndColumnsAlignedByWidth) {
  const TempFile graph("\"\x1b[31mred\" \xe6\x9d\xb1\xe4\xba\xac 1\n");
  const Outcome outcome = expectSuccess({"run", "connectedComponents", "--graph", graph.path()});
  EXPECT_EQ(outcome.out.find('\x1b'), std::string::npos);
  EXPECT_NE(outcome.out.find("\n\\x1b[31mred  1\n\xe6\x9d\xb1\xe4\xba\xac         1\n"),
            std::string::npos)
      << outcome.out;
}

TEST(AnalysisCommands, DotDrawsTheAnswerOnTheGraph) {
  const TempFile graph(kDiamond);
  const struct {
    Args args;
    std::vector<std::string> lines;
  } cases[] = {
      {{"shortestPaths", "--set", "startNode=a", "--set", "finishNode=d"},
       {"\"a\" [penwidth=2.5];",
        "\"a\" -> \"b\" [color=\"#e41a1c\", penwidth=2.5, label=\"cost 1\"];",
        "\"a\" -> \"d\" [label=\"cost 9\"];"}},
      {{"minimumCut", "--set", "sourceNode=a", "--set", "sinkNode=d"},
       {"\"a\" -> \"d\" [color=\"#e41a1c\", penwidth=2.5, style=dashed, label=\"cost 9\"];"}},
      {{"connectedComponents"},
       {"\"a\" [fillcolor=\"#8dd3c7\"];", "\"e\" [fillcolor=\"#ffffb3\"];"}},
      {{"maximumFlow", "--set", "sourceNode=a", "--set", "sinkNode=d"},
       {"\"c\" -> \"d\" [label=\"capacity 3, flow 2\"];"}},
      {{"maximumFlow", "--undirected", "--set", "sourceNode=d", "--set", "sinkNode=a"},
       {"edge [dir=none];", "\"c\" -> \"d\" [label=\"capacity 3, flow -2\"];"}},
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
  const std::string g = graph.path();
  const struct {
    Args args;
    int status;
    std::string says;
  } cases[] = {
      {{"run", "shortest", "--graph", g}, 2, "unknown analysis 'shortest'; valid analyses: "},
      {{"run", "shortestPaths"}, 2, "run needs an analysis and --graph FILE"},
      {{"run", "--request", g, "--graph", g}, 2, "excludes"},
      {{"run", "shortestPaths", "--graph", g, "--json", "--csv"}, 2, "excludes"},
      {{"run", "shortestPaths", "--graph", g, "--set", "start=a"},
       2,
       "shortestPaths has no option 'start'; its options are undirected, startNode, finishNode"},
      {{"run", "acyclicTest", "--graph", g, "--set", "x=1"}, 2, "it has none to set"},
      {{"run", "shortestPaths", "--graph", g, "--set", "startNode"}, 2, "expected NAME=VALUE"},
      {{"run", "shortestPaths", "--graph", g, "--set", "x\ny=1"}, 2, "no option 'x\\x0ay'"},
      {{"run", "shortestPaths", "--graph", g, "--set", "startNode=z"},
       2,
       "startNode takes a node name; the graph has no node named 'z'"},
      {{"run", "shortestPaths", "--graph", g, "--set", "undirected=yes"},
       2,
       "undirected takes 0, 1, true or false, not 'yes'"},
      {{"run", "clustering", "--graph", g, "--set", "quality=BEST"},
       2,
       "quality takes one of CLUSTERING_QUALITY_DRAFT, CLUSTERING_QUALITY_MEDIUM, "},
      {{"run", "clustering", "--graph", g, "--set", "balance=1.5x"}, 2, "a decimal number"},
      {{"run", "clustering", "--graph", g, "--set", "constraintManager=a"},
       2,
       "cannot be set from the command line"},
      // Values the engine refuses name the option, its owner and its value.
      {{"run", "clustering", "--graph", g, "--set", "balance=1.5"},
       2,
       "clustering: invalid balance 1.5 (ANALYSIS_ERROR_INVALID_OPTION, 13); balance: 0 to 1"},
      {{"run", "reachableNodes", "--graph", g, "--set", "startNode=a", "--set", "level=-2"},
       2,
       "reachableNodes: invalid level -2 (ANALYSIS_ERROR_INVALID_OPTION, 13); level: the range "
       "under an older name"},
      {{"run", "maximumFlow", "--graph", "-", "--set", "sourceNode=a", "--set", "sinkNode=b"},
       2,
       "maximumFlow: invalid capacity -3 on edge 0 (a -> b) (ANALYSIS_ERROR_INVALID_OPTION"},
      {{"run", "rootCause", "--graph", g}, 2, "rootCause: invalid effectNodeList (not set)"},
      {{"paths", "--graph", g, "--from", "a", "--to", "nowhere"}, 2, "--to: the graph has no node"},
      {{"paths", "--graph", g, "--from", "a", "--to", "d", "-k", "0"}, 2, "-k"},
      {{"run", "treeTest", "--graph", g, "--delimiter", "ab"}, 2, "--delimiter 'ab': expected"},
      {{"run", "treeTest", "--graph", g, "--delimiter", ""}, 2, "--delimiter '': expected"},
      {{"paths", "--graph", g, "--from", "a", "--to", "d", "--column", "height=h"},
       2,
       "--column height=h: 'height' is no per-node or per-edge option"},
      {{"run", "treeTest", "--graph", g, "--column", "cost=w", "--column", "capacity=W"},
       2,
       "--column capacity=W: the column 'W' is mapped already"},
      {{"run", "treeTest", "--graph", g, "--scale", "0"}, 2, "--scale '0': expected a whole"},
      {{"run", "--request", kRequest, "--scale", "10"}, 2, "--column and --scale say how to read"},
      {{"run", "treeTest", "--graph", g, "--scale", "1000000001"}, 2, "--scale '1000000001'"},
      {{"convert", "--graph", g, "/tmp/kyanalyze-never.graphml", "--nodes-out", "/tmp/n.txt"},
       2,
       "--nodes-out belongs to an edge list output; GraphML keeps the node values itself"},
      {{"convert", "--graph", g, "/tmp/kyanalyze-never.xml", "--analysis", "treeTest",
        "--nodes-out", "/tmp/n.txt"},
       2,
       "--nodes-out belongs to an edge list output; an analysis document keeps"},
      {{"show", g}, 1, ": not XML, so not an analysis document; --graph reads an edge list"},
      {{"run", "topologicalSort", "--graph", g, "--dot", g}, 2, ": is an input file"},
      {{"run", "treeTest", "--graph", "/nonexistent/g.txt"},
       1,
       "/nonexistent/g.txt: cannot be read: no such file"},
      {{"run", "treeTest", "--graph", "/nonexistent/g.xml"}, 1, "cannot be read: no such file"},
      {{"run", "treeTest", "--graph", "/tmp"}, 1, "/tmp: cannot be read: is a directory"},
      {{"show", "/tmp"}, 1, "/tmp: cannot be read: is a directory"},
      {{"run", "treeTest", "--graph", longLine.path()},
       1,
       ":1: expected 'source target [cost]', found 4 fields"},
      {{"run", "shortestPaths", "--graph", g, "--set", "finishNode=d"},
       1,
       "shortestPaths: ANALYSIS_ERROR_NO_START_NODE (6): "},
      {{"run", "treeTest", "--graph", g, "--dot", "/nonexistent/out.dot"},
       1,
       "/nonexistent/out.dot: cannot be written"},
      {{"help", "frobnicate"}, 2, "help: no command 'frobnicate'"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.args[1] + " " + test.args.back());
    const Outcome outcome = run(test.args, "a b -3\n");
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
