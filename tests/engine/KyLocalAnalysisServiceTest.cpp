// The engine's contract: the outcome of every kind of bad request, the end
// nodes of every analysis, and what an answer replaces and leaves alone.
#include <kyanalysis/KyAllPairsShortestPathsInputTailor.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyDepthFirstSearchInputTailor.h>
#include <kyanalysis/KyPair.h>
#include <kyanalysis/KyShortestPathsInputTailor.h>
#include <kyanalysis/KyShortestPathsOutputTailor.h>
#include <kyanalysis/KySortedPathsInputTailor.h>
#include <kyanalysis/KyStronglyConnectedComponentsInputTailor.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>
#include <kyplatform/KyServiceData.h>

#include "support/KyEngineTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

namespace k = KyAnalysisKey;
const wchar_t* const kStart = k::sortedPaths::graphStartNode;
const wchar_t* const kFinish = k::sortedPaths::graphFinishNode;

// A chain a -> b -> c and a sorted-paths request from a to c, written
// straight into the input data, which has no service name.
struct Request {
  Request() {
    set(nullptr, k::all::noneGraph, &graph);
    set(nullptr, k::all::noneOperation, new KyInt(OPERATION_SORTED_PATHS), 1);
    set(&graph, kStart, a);
    set(&graph, kFinish, c);
  }
  void set(KyObject* owner, const wchar_t* key, KyObject* value, int owned = 0) {
    input.setValue(owner, key, value, owned, 0);
  }
  void cost(KyEdge* edge, int value) { set(edge, k::sortedPaths::edgeCost, new KyInt(value), 1); }

  KyGraph graph;
  KyNode *a = graph.addNode(), *b = graph.addNode(), *c = graph.addNode();
  KyEdge *ab = graph.addEdge(a, b), *bc = graph.addEdge(b, c);
  KyServiceInputData input;
  KyServiceOutputData output;
};

// Each bad request returns its code and stores it alone, leaving the input
// as it was.
TEST(KyEngineService, BadRequestsAnswerOnlyTheirCode) {
  const struct {
    const char* name;
    std::function<void(Request&)> spoil;
    int code;
  } cases[] = {
      {"no input data", [](Request&) {}, ANALYSIS_ERROR_NO_INPUT_DATA},
      {"no operation", [](Request& r) { r.set(nullptr, k::all::noneOperation, nullptr); },
       ANALYSIS_ERROR_NO_OPERATION},
      {"operation of another class", [](Request& r) { r.set(nullptr, k::all::noneOperation, r.a); },
       ANALYSIS_ERROR_NO_OPERATION},
      {"operation none of the service",
       [](Request& r) { r.set(nullptr, k::all::noneOperation, new KyInt(23), 1); },
       ANALYSIS_ERROR_OPERATION_NOT_SUPPORTED},
      {"no graph", [](Request& r) { r.set(nullptr, k::all::noneGraph, nullptr); },
       ANALYSIS_ERROR_NO_GRAPH},
      {"graph of another class", [](Request& r) { r.set(nullptr, k::all::noneGraph, r.a); },
       ANALYSIS_ERROR_NO_GRAPH},
      {"start node of another class", [](Request& r) { r.set(&r.graph, kStart, r.ab); },
       ANALYSIS_ERROR_NO_START_NODE},
      {"negative cycle on a walk", [](Request& r) { r.cost(r.graph.addEdge(r.b, r.a), -2); },
       ANALYSIS_ERROR_NEGATIVE_CYCLE},
      {"negative self-loop at the finish",
       [](Request& r) { r.cost(r.graph.addEdge(r.c, r.c), -1); }, ANALYSIS_ERROR_NEGATIVE_CYCLE},
      {"shortest length past 32 bits", [](Request& r) { r.cost(r.ab, 2147483647); },
       ANALYSIS_ERROR_COST_OVERFLOW},
      {"shortest length below 32 bits",
       [](Request& r) {
         r.cost(r.ab, -2147483647 - 1);
         r.cost(r.bc, -1);
       },
       ANALYSIS_ERROR_COST_OVERFLOW},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Request r;
    c.spoil(r);
    const int inputValues = r.input.numberOfValues();
    KyServiceInputData* input = c.code == ANALYSIS_ERROR_NO_INPUT_DATA ? nullptr : &r.input;
    EXPECT_EQ(KyLocalAnalysisService().run(input, &r.output), c.code);
    EXPECT_EQ(r.output.getValueAsInteger(nullptr, k::errorCode), c.code);
    EXPECT_EQ(r.output.numberOfValues(), 1);
    EXPECT_NE(r.output.pServiceName(), nullptr);
    EXPECT_EQ(r.input.numberOfValues(), inputValues);
    EXPECT_EQ(r.input.pServiceName(), nullptr);
  }
}

// Every analysis with end nodes checks them, the start before the finish and
// a missing node before a foreign one; a search may go without a start.
TEST(KyEngineService, ChecksTheEndNodesOfEveryAnalysisThatHasThem) {
  const struct {
    int operation;
    const wchar_t *start, *finish; // null finish: a start only
  } analyses[] = {
      {OPERATION_SHORTEST_PATHS, k::shortestPaths::graphStartNode,
       k::shortestPaths::graphFinishNode},
      {OPERATION_PATH_EXISTS_TEST, k::pathExistsTest::graphStartNode,
       k::pathExistsTest::graphFinishNode},
      {OPERATION_UNIQUE_PATH_TEST, k::uniquePathTest::graphStartNode,
       k::uniquePathTest::graphFinishNode},
      {OPERATION_DISJOINT_PATHS, k::disjointPaths::graphStartNode,
       k::disjointPaths::graphFinishNode},
      {OPERATION_SORTED_PATHS, kStart, kFinish},
      {OPERATION_REACHABLE_NODES, k::reachableNodes::graphStartNode, nullptr},
      {OPERATION_MAXIMUM_FLOW, k::maximumFlow::graphSourceNode, k::maximumFlow::graphSinkNode},
      {OPERATION_MINIMUM_COST_FLOW, k::minimumCostFlow::graphSourceNode,
       k::minimumCostFlow::graphSinkNode},
      {OPERATION_MINIMUM_CUT, k::minimumCut::graphSourceNode, k::minimumCut::graphSinkNode},
      {OPERATION_NEW_CYCLE_TEST, k::newCycleTest::graphSourceNode,
       k::newCycleTest::graphTargetNode},
      {OPERATION_BREADTH_FIRST_SEARCH, k::breadthFirstSearch::graphStartNode, nullptr},
      {OPERATION_DEPTH_FIRST_SEARCH, k::depthFirstSearch::graphStartNode, nullptr},
  };
  KyGraph elsewhere;
  KyNode* foreign = elsewhere.addNode();
  KyInt notANode(0);
  // Cases: missing start, finish; foreign start, finish; start, finish of
  // another class, which read as missing.
  const auto spoiled = [&](int spoil, int missing, int other, KyNode* node) -> KyObject* {
    return spoil == missing       ? nullptr
           : spoil == missing + 2 ? foreign
           : spoil == other       ? static_cast<KyObject*>(&notANode)
                                  : node;
  };
  for (const auto& analysis : analyses)
    for (int spoil = 0; spoil < 6; ++spoil) {
      const bool search = analysis.operation == OPERATION_BREADTH_FIRST_SEARCH ||
                          analysis.operation == OPERATION_DEPTH_FIRST_SEARCH;
      if ((analysis.finish == nullptr && spoil % 2 == 1) || (search && spoil % 4 == 0))
        continue;
      SCOPED_TRACE(::testing::Message() << "operation " << analysis.operation << " case " << spoil);
      kytest::EngineCase c(2, {{0, 1}});
      c.input.setValue(nullptr, k::all::noneGraph, &c.graph, 0, 0);
      c.input.setValue(nullptr, k::all::noneOperation, new KyInt(analysis.operation), 1, 0);
      c.input.setValue(&c.graph, analysis.start, spoiled(spoil, 0, 4, c.node[0]), 0, 0);
      if (analysis.finish != nullptr)
        c.input.setValue(&c.graph, analysis.finish, spoiled(spoil, 1, 5, c.node[1]), 0, 0);
      EXPECT_EQ(c.run(), ANALYSIS_ERROR_NO_START_NODE + spoil % 4);
      EXPECT_EQ(c.output.numberOfValues(), 1);
    }
}

TEST(KyEngineService, WithoutOutputDataOnlyReturnsTheCode) {
  Request r;
  EXPECT_EQ(KyLocalAnalysisService().run(&r.input, nullptr), ANALYSIS_ERROR_NO_OUTPUT_DATA);
  EXPECT_EQ(KyLocalAnalysisService().run(nullptr, nullptr), ANALYSIS_ERROR_NO_INPUT_DATA);
  EXPECT_EQ(r.input.pServiceName(), nullptr);
}

TEST(KyEngineService, ReplacesTheWholeEarlierAnswerAndKeepsTheInputsName) {
  Request r;
  KySortedPathsInputTailor tailor(&r.input); // attaches a service name
  const KyLocalAnalysisService engine;
  ASSERT_EQ(engine.run(&r.input, &r.output), ANALYSIS_ERROR_NONE);
  EXPECT_NE(r.output.pValue(r.a, k::sortedPaths::nodeTreeEdge), nullptr);

  tailor.pStartNode(r.b); // a no longer lies on any walk
  ASSERT_EQ(engine.run(&r.input, &r.output), ANALYSIS_ERROR_NONE);
  EXPECT_EQ(r.output.pValue(r.a, k::sortedPaths::nodeTreeEdge), nullptr);
  EXPECT_EQ(r.output.pValue(r.b, k::sortedPaths::nodeTreeEdge), r.bc);

  tailor.pFinishNode(nullptr);
  EXPECT_EQ(engine.run(&r.input, &r.output), ANALYSIS_ERROR_NO_FINISH_NODE);
  EXPECT_EQ(r.output.numberOfValues(), 1);
  EXPECT_NE(r.input.pServiceName(), nullptr);
}

// Node and edge options read as the tailors read them, on an input without
// a service name: a value of another class as 0, a missing one as the
// option's default, and values on members of another graph not at all.
TEST(KyEngineService, ReadsMemberOptionsAsTheTailorsDo) {
  namespace sp = k::shortestPaths;
  KyGraph graph, other;
  KyNode *a = graph.addNode(), *b = graph.addNode(), *c = graph.addNode();
  KyEdge *ab = graph.addEdge(a, b), *bc = graph.addEdge(b, c), *ac = graph.addEdge(a, c);
  KyNode *o0 = other.addNode(), *o1 = other.addNode();
  KyEdge *oa = other.addEdge(o0, o1), *ob = other.addEdge(o0, o1), *oc = other.addEdge(o0, o1);
  KyServiceInputData input;
  const auto set = [&](KyObject* owner, const wchar_t* key, KyObject* value, int owned) {
    input.setValue(owner, key, value, owned, 0);
  };
  set(nullptr, k::all::noneGraph, &graph, 0);
  set(nullptr, k::all::noneOperation, new KyInt(OPERATION_SHORTEST_PATHS), 1);
  set(&graph, sp::graphStartNode, a, 0);
  set(&graph, sp::graphFinishNode, c, 0);
  set(ab, sp::edgeCost, new KyDouble(-50.0), 1);
  set(ac, sp::edgeCost, new KyInt(2), 1);
  for (KyObject* foreign : {static_cast<KyObject*>(o1), static_cast<KyObject*>(oa),
                            static_cast<KyObject*>(ob), static_cast<KyObject*>(oc)})
    set(foreign, dynamic_cast<KyNode*>(foreign) ? sp::nodeCost : sp::edgeCost, new KyInt(-100), 1);

  KyServiceOutputData output;
  ASSERT_EQ(KyLocalAnalysisService().run(&input, &output), ANALYSIS_ERROR_NONE);
  EXPECT_EQ(input.pServiceName(), nullptr);
  const KyShortestPathsInputTailor request(&input);
  const int viaB = request.cost(ab) + request.cost(b) + request.cost(bc);
  EXPECT_EQ(viaB, 1);
  EXPECT_EQ(KyShortestPathsOutputTailor(&output).totalCost(), std::min(viaB, request.cost(ac)));
}

// An object of an answer as text, by class and position: nodes and edges of
// the analysed graph or of a graph the answer holds, pairs, integers and
// lists of these.
std::string describe(const KyObject* object) {
  if (object == nullptr)
    return "null";
  if (const auto* integer = dynamic_cast<const KyInt*>(object))
    return std::to_string(integer->value());
  if (const auto* member = dynamic_cast<const KyGraphMember*>(object))
    return (dynamic_cast<const KyNode*>(member) != nullptr ? "n" : "e") +
           std::to_string(member->index());
  if (const auto* pair = dynamic_cast<const KyPair*>(object))
    return "(" + describe(pair->pFirstObject()) + "," + describe(pair->pSecondObject()) + ")";
  if (const auto* graph = dynamic_cast<const KyGraph*>(object))
    return "graph " + std::to_string(graph->numberOfNodes()) + " " +
           std::to_string(graph->numberOfEdges());
  if (const auto* list = dynamic_cast<const KyDList*>(object)) {
    std::string items = "[";
    for (KyDListIter it(list); it; ++it)
      items += describe(it.pObject()) + " ";
    return items + "]";
  }
  return "?";
}

// Every value of an answer, one sorted line each.
std::vector<std::string> answerLines(const KyServiceOutputData& output) {
  std::vector<std::string> lines;
  output.visitValues([&](const KyObject* owner, const wchar_t* key, KyObject* value) {
    lines.push_back(describe(owner) + " " + std::string(key, key + std::wcslen(key)) + " " +
                    describe(value));
  });
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Answers written one after another into one output data, each replacing the
// last, equal answers written into fresh output data: nothing of an earlier
// answer stays, whatever its keys and owners (members, pairs, a path graph).
TEST(KyEngineService, AnAnswerEmptiedAndRefilledEqualsAFreshOne) {
  namespace sp = k::sortedPaths;
  std::mt19937 random(17);
  kytest::EngineCase c(12, kytest::randomEdges(random, 12, 40));
  for (KyEdge* edge : c.edge)
    c.input.setValue(edge, sp::edgeCost, new KyInt(1 + static_cast<int>(random() % 9)), 1, 0);
  const std::function<void(KyServiceInputData&)> requests[] = {
      [&](KyServiceInputData& input) { kytest::ask(KyDepthFirstSearchInputTailor(&input), c); },
      [&](KyServiceInputData& input) {
        KySortedPathsInputTailor tailor(&input);
        kytest::ask(tailor, c);
        tailor.pStartNode(c.node[0]);
        tailor.pFinishNode(c.node[11]);
      },
      [&](KyServiceInputData& input) {
        kytest::ask(KyAllPairsShortestPathsInputTailor(&input), c);
      },
      [&](KyServiceInputData& input) {
        kytest::ask(KyStronglyConnectedComponentsInputTailor(&input), c);
      },
      [&](KyServiceInputData& input) {
        kytest::ask(KyAllPairsShortestPathsInputTailor(&input), c);
      },
      [&](KyServiceInputData& input) { kytest::ask(KySortedPathsInputTailor(&input), c); },
  };
  for (const auto& request : requests) {
    SCOPED_TRACE(&request - requests);
    request(c.input);
    ASSERT_EQ(c.run(), ANALYSIS_ERROR_NONE);
    KyServiceOutputData fresh;
    ASSERT_EQ(KyLocalAnalysisService().run(&c.input, &fresh), ANALYSIS_ERROR_NONE);
    EXPECT_EQ(answerLines(c.output), answerLines(fresh));
    EXPECT_EQ(c.output.numberOfValues(), fresh.numberOfValues());
  }
}

} // namespace
