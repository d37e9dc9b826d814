// Answers rendered in-process, compared with what kyanalyze prints for the
// same request (the tool's golden files); requests built from files and
// from options by name; the outcome codes in words.
#include "formats/KyFormatsTesting.h"
#include "support/KyProcess.h"

#include <kyformats/KyAnalysisRequest.h>
#include <kyformats/KyAnswer.h>
#include <kyformats/KyAnswerCode.h>
#include <kyformats/KyGraphReader.h>
#include <kyformats/KyPathListing.h>

#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyShortestPathsInputTailor.h>
#include <kyengine/KyLocalAnalysisService.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string golden(const std::string& name) {
  std::ifstream file(kytest::sourcePath("tests/tools/golden/" + name), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

/// A request for `operation` on the file `path` (from the source root),
/// with the options `settings`, answered by the local engine.
struct Answered {
  Answered(int operation, const std::string& path, const std::vector<std::string>& settings,
           bool undirected = false) {
    KyGraphData data;
    std::string error;
    EXPECT_TRUE(KyGraphReader().readFile(kytest::sourcePath(path), data, error)) << error;
    EXPECT_TRUE(request.start(operation, std::move(data), error)) << error;
    EXPECT_TRUE(!undirected || request.undirected(error)) << error;
    for (const std::string& setting : settings)
      EXPECT_TRUE(request.set(setting, error)) << error;
    EXPECT_EQ(KyLocalAnalysisService().run(&request.input(), &output), ANALYSIS_ERROR_NONE);
  }
  KyAnalysisRequest request;
  KyServiceOutputData output;
};

TEST(KyAnswer, RendersWhatTheToolPrints) {
  const std::vector<std::string> flow{"sourceNode=plant", "sinkNode=depot"};
  const struct {
    const char* golden; // its suffix names the rendering
    int operation;
    const char* graph;
    std::vector<std::string> settings;
    bool undirected;
  } cases[] = {
      {"maximumFlow.txt", OPERATION_MAXIMUM_FLOW, "docs/examples/network.csv", flow, false},
      {"maximumFlow.json", OPERATION_MAXIMUM_FLOW, "docs/examples/network.csv", flow, false},
      {"maximumFlow.csv", OPERATION_MAXIMUM_FLOW, "docs/examples/network.csv", flow, false},
      {"maximumFlow.dot", OPERATION_MAXIMUM_FLOW, "docs/examples/network.csv", flow, false},
      {"maximumFlow-undirected.json", OPERATION_MAXIMUM_FLOW, "docs/examples/network.csv", flow,
       true},
      {"shortestPaths-undirected.dot",
       OPERATION_SHORTEST_PATHS,
       "examples/roads.txt",
       {"startNode=Ashby", "finishNode=Harlow"},
       true},
      {"sortedPaths-roads.txt",
       OPERATION_SORTED_PATHS,
       "examples/roads.txt",
       {"startNode=Ashby", "finishNode=Harlow"},
       false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.golden);
    Answered answered(test.operation, test.graph, test.settings, test.undirected);
    const KyAnswer answer(answered.request, answered.output, 10);
    const std::string name = test.golden;
    std::ostringstream out;
    if (name.rfind(".json") == name.size() - 5)
      out << answer.json() << '\n';
    else if (name.rfind(".csv") == name.size() - 4)
      answer.writeCsv(out);
    else if (name.rfind(".dot") == name.size() - 4)
      answer.writeDot(out);
    else
      answer.writeText(out);
    EXPECT_EQ(out.str(), golden(test.golden));
  }
}

TEST(KyPathListing, ListsTheCheapestPathsAsTheToolDoes) {
  const struct {
    const char* golden;
    const char* graph;
    const char* from;
    const char* to;
    int limit;
    bool undirected;
  } cases[] = {
      {"paths-roads.txt", "examples/roads.txt", "Ashby", "Harlow", 4, true},
      {"paths-roads.json", "examples/roads.txt", "Ashby", "Harlow", 2, false},
      {"paths-none.txt", "docs/examples/network.csv", "depot", "plant", 10, false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.golden);
    Answered answered(OPERATION_SORTED_PATHS, test.graph,
                      {std::string("startNode=") + test.from, std::string("finishNode=") + test.to},
                      test.undirected);
    const KyPathListing listing(answered.request, answered.output, test.limit);
    std::ostringstream out;
    if (std::string(test.golden).find(".json") != std::string::npos)
      out << listing.json() << '\n';
    else
      listing.writeText(out);
    EXPECT_EQ(out.str(), golden(test.golden));
  }
}

TEST(KyAnswer, ARequestAnApplicationBuiltRendersToo) {
  KyGraphData data;
  KyNode* a = kytest::addNamedNode(data, "a");
  KyNode* b = kytest::addNamedNode(data, "b");
  KyEdge* ab = data.graph->addEdge(a, b);
  KyServiceInputData request;
  KyShortestPathsInputTailor input(&request);
  input.pGraph(data.graph.get());
  input.setAsCurrentOperation();
  input.pStartNode(a);
  input.pFinishNode(b);
  input.cost(ab, 5);
  KyServiceOutputData output;
  ASSERT_EQ(KyLocalAnalysisService().run(&request, &output), ANALYSIS_ERROR_NONE);
  const KyGraphNames names(*data.graph);
  std::ostringstream text;
  KyAnswer(*data.graph, request, output, names, 10).writeText(text);
  EXPECT_EQ(text.str(), "pathExists: true\nedgeList: a -> b  (cost 5)\ntotalCost: 5\n");

  // A request that names no analysis has no results to show.
  KyServiceInputData none;
  KyServiceOutputData empty;
  const KyAnswer nothing(*data.graph, none, empty, names, 10);
  EXPECT_EQ(nothing.json(), "{\n  \"analysis\": \"\",\n  \"results\": {}\n}");
  std::ostringstream blank;
  nothing.writeText(blank);
  nothing.writeCsv(blank);
  EXPECT_EQ(blank.str(), "result,value\n");
}

TEST(KyAnalysisRequest, SetTakesEveryKindOfValueAndChangesNothingWhenRefused) {
  const struct {
    int operation;
    const char* assignment;
    const char* refusal; // empty: accepted
  } cases[] = {
      {OPERATION_MINIMUM_COST_FLOW, "desiredFlow=2147483647", ""},
      {OPERATION_MINIMUM_COST_FLOW, "desiredFlow=-2147483648", ""},
      {OPERATION_MINIMUM_COST_FLOW, "desiredFlow=2147483648",
       "minimumCostFlow: desiredFlow takes a 32-bit integer, not '2147483648'"},
      {OPERATION_SHORTEST_PATHS, "undirected=true", ""},
      {OPERATION_SHORTEST_PATHS, "undirected=2",
       "shortestPaths: undirected takes 0, 1, true or false, not '2'"},
      {OPERATION_CLUSTERING, "quality=CLUSTERING_QUALITY_PROOF", ""},
      {OPERATION_CLUSTERING, "quality=2", ""},
      {OPERATION_CLUSTERING, "quality=3", "clustering: quality takes one of "},
      {OPERATION_CLUSTERING, "balance=0.5", ""},
      {OPERATION_CLUSTERING, "balance=half", "clustering: balance takes a decimal number"},
      {OPERATION_SHORTEST_PATHS, "startNode=plant", ""},
      {OPERATION_SHORTEST_PATHS, "startNode=nowhere",
       "shortestPaths: startNode takes a node name; the graph has no node named 'nowhere'"},
      {OPERATION_ROOT_CAUSE, "effectNodeList=north,south", ""},
      {OPERATION_ROOT_CAUSE, "effectNodeList=north,nowhere",
       "rootCause: effectNodeList takes node names separated by commas; the graph has no node"},
      {OPERATION_SHORTEST_PATHS, "stratNode=plant",
       "shortestPaths has no option 'stratNode'; its options are "},
      {OPERATION_SHORTEST_PATHS, "startNode", "--set 'startNode': expected NAME=VALUE"},
      {OPERATION_CLUSTERING, "constraintManager=x",
       "clustering: the option 'constraintManager' cannot be set from the command line"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.assignment);
    KyGraphData data;
    std::string error;
    ASSERT_TRUE(
        KyGraphReader().readFile(kytest::sourcePath("docs/examples/network.csv"), data, error));
    KyAnalysisRequest request;
    ASSERT_TRUE(request.start(test.operation, std::move(data), error)) << error;
    const int before = request.input().numberOfValues();
    const bool accepted = request.set(test.assignment, error);
    EXPECT_EQ(accepted, *test.refusal == '\0') << error;
    EXPECT_EQ(request.input().numberOfValues(), before + (accepted ? 1 : 0));
    if (!accepted) {
      EXPECT_EQ(error.rfind(test.refusal, 0), 0u) << error;
    }
  }
}

TEST(KyAnalysisRequest, StartingAgainReplacesWhatTheRequestHeld) {
  KyAnalysisRequest request;
  EXPECT_EQ(request.operation(), OPERATION_NONE);
  EXPECT_EQ(request.graph().numberOfNodes(), 0);
  std::string error;
  for (const char* text : {"a b 1\nb c 2\n", "x y 3\n"}) {
    KyGraphData data;
    ASSERT_TRUE(KyGraphReader().readText(text, "text", data, error));
    ASSERT_TRUE(request.start(OPERATION_MAXIMUM_FLOW, std::move(data), error));
    ASSERT_TRUE(request.set("sourceNode=" + std::string(1, text[0]), error)) << error;
  }
  EXPECT_EQ(request.graph().numberOfNodes(), 2);
  EXPECT_EQ(request.names().node(0), "x");
  // The graph, the operation, one capacity and the source.
  EXPECT_EQ(request.input().numberOfValues(), 4);
  ASSERT_TRUE(request.readDocument(kytest::sourcePath("docs/examples/request.xml"), error));
  EXPECT_EQ(request.operation(), OPERATION_CLUSTERING);
  EXPECT_EQ(request.graph().numberOfNodes(), 4);
}

TEST(KyAnalysisRequest, UndirectedAddsTwinsOnlyWhereAnOptionCannotSayIt) {
  const struct {
    int operation;
    int twins;       // edges added; -1: refused
    int valuesAdded; // to the request
  } cases[] = {
      {OPERATION_SHORTEST_PATHS, 0, 1},       // its own option "undirected"
      {OPERATION_TREE_TEST, 0, 1},            // "directed" 0
      {OPERATION_CONNECTED_COMPONENTS, 0, 0}, // undirected anyway
      {OPERATION_MAXIMUM_FLOW, 7, 7},         // twins, each with its edge's capacity
      {OPERATION_TOPOLOGICAL_SORT, -1, 0},    // every edge would close a cycle
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.operation);
    KyGraphData data;
    std::string error;
    ASSERT_TRUE(
        KyGraphReader().readFile(kytest::sourcePath("docs/examples/network.csv"), data, error));
    KyAnalysisRequest request;
    ASSERT_TRUE(request.start(test.operation, std::move(data), error)) << error;
    const int values = request.input().numberOfValues();
    EXPECT_EQ(request.undirected(error), test.twins >= 0) << error;
    EXPECT_EQ(request.undirected(error), test.twins >= 0); // a second call adds nothing
    EXPECT_EQ(request.graph().numberOfEdges(), 7 + std::max(test.twins, 0));
    EXPECT_EQ(request.originalEdges(), 7);
    EXPECT_EQ(request.input().numberOfValues(), values + test.valuesAdded);
  }
}

TEST(KyAnswerCode, NamesEveryCodeAndExplainsAnInvalidOption) {
  EXPECT_EQ(KyAnswerCode::text(ANALYSIS_ERROR_NO_START_NODE),
            "ANALYSIS_ERROR_NO_START_NODE (6): the start node option holds no node");
  EXPECT_EQ(KyAnswerCode::text(-5), "error code -5");
  EXPECT_EQ(KyAnswerCode::text(ANALYSIS_ERROR_STOPPED + 1),
            "error code " + std::to_string(ANALYSIS_ERROR_STOPPED + 1));

  KyGraphData data;
  std::string error;
  ASSERT_TRUE(KyGraphReader().readText("s t -1\n", "text", data, error));
  KyAnalysisRequest request;
  ASSERT_TRUE(request.start(OPERATION_MAXIMUM_FLOW, std::move(data), error));
  ASSERT_TRUE(request.set("sourceNode=s", error) && request.set("sinkNode=t", error));
  KyServiceOutputData output;
  const int code = KyLocalAnalysisService().run(&request.input(), &output);
  ASSERT_EQ(code, ANALYSIS_ERROR_INVALID_OPTION);
  EXPECT_EQ(KyAnswerCode::failure(code, request.input(), output, request.names()),
            "invalid capacity -1 on edge 0 (s -> t) (ANALYSIS_ERROR_INVALID_OPTION, 13); "
            "capacity: the most flow along the edge");
}

} // namespace
