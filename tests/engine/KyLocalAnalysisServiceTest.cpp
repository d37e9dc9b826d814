// The engine's contract: the outcome of every kind of bad request, and what
// an answer replaces and leaves alone.
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyEdge.h>
#include <kyanalysis/KyGraph.h>
#include <kyanalysis/KyInt.h>
#include <kyanalysis/KyLocalAnalysisService.h>
#include <kyanalysis/KyNode.h>
#include <kyanalysis/KyServiceData.h>
#include <kyanalysis/KySortedPathsInputTailor.h>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

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

  KyGraph graph, otherGraph;
  KyNode *a = graph.addNode(), *b = graph.addNode(), *c = graph.addNode();
  KyEdge *ab = graph.addEdge(a, b), *bc = graph.addEdge(b, c);
  KyServiceInputData input;
  KyServiceOutputData output;
};

struct ErrorCase {
  const char* name;
  std::function<void(Request&)> spoil;
  int code;
};
void PrintTo(const ErrorCase& c, std::ostream* out) { *out << c.name; }

class KyEngineErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(KyEngineErrors, ReturnsAndStoresTheCodeAloneAndLeavesTheInputAsItWas) {
  Request r;
  GetParam().spoil(r);
  const int inputValues = r.input.numberOfValues();
  KyServiceInputData* input = GetParam().code == ANALYSIS_ERROR_NO_INPUT_DATA ? nullptr : &r.input;

  EXPECT_EQ(KyLocalAnalysisService().run(input, &r.output), GetParam().code);
  EXPECT_EQ(r.output.getValueAsInteger(nullptr, k::errorCode), GetParam().code);
  EXPECT_EQ(r.output.numberOfValues(), 1);
  EXPECT_NE(r.output.pServiceName(), nullptr);
  EXPECT_EQ(r.input.numberOfValues(), inputValues);
  EXPECT_EQ(r.input.pServiceName(), nullptr);
}

const ErrorCase kErrorCases[] = {
    {"NoInputData", [](Request&) {}, ANALYSIS_ERROR_NO_INPUT_DATA},
    {"NoOperation", [](Request& r) { r.set(nullptr, k::all::noneOperation, nullptr); },
     ANALYSIS_ERROR_NO_OPERATION},
    {"OperationOfAnotherClass", [](Request& r) { r.set(nullptr, k::all::noneOperation, r.a); },
     ANALYSIS_ERROR_NO_OPERATION},
    {"OperationNoneOfTheService",
     [](Request& r) { r.set(nullptr, k::all::noneOperation, new KyInt(23), 1); },
     ANALYSIS_ERROR_OPERATION_NOT_SUPPORTED},
    {"NoGraph", [](Request& r) { r.set(nullptr, k::all::noneGraph, nullptr); },
     ANALYSIS_ERROR_NO_GRAPH},
    {"GraphOfAnotherClass", [](Request& r) { r.set(nullptr, k::all::noneGraph, r.a); },
     ANALYSIS_ERROR_NO_GRAPH},
    {"NoStartNode", [](Request& r) { r.set(&r.graph, kStart, nullptr); },
     ANALYSIS_ERROR_NO_START_NODE},
    {"StartNodeOfAnotherClass", [](Request& r) { r.set(&r.graph, kStart, r.ab); },
     ANALYSIS_ERROR_NO_START_NODE},
    {"NoFinishNode", [](Request& r) { r.set(&r.graph, kFinish, nullptr); },
     ANALYSIS_ERROR_NO_FINISH_NODE},
    {"StartNodeInAnotherGraph", [](Request& r) { r.set(&r.graph, kStart, r.otherGraph.addNode()); },
     ANALYSIS_ERROR_START_NODE_NOT_IN_GRAPH},
    {"FinishNodeInAnotherGraph",
     [](Request& r) { r.set(&r.graph, kFinish, r.otherGraph.addNode()); },
     ANALYSIS_ERROR_FINISH_NODE_NOT_IN_GRAPH},
    {"NegativeCycleOnAWalk", [](Request& r) { r.cost(r.graph.addEdge(r.b, r.a), -2); },
     ANALYSIS_ERROR_NEGATIVE_CYCLE},
    {"NegativeSelfLoopAtTheFinish", [](Request& r) { r.cost(r.graph.addEdge(r.c, r.c), -1); },
     ANALYSIS_ERROR_NEGATIVE_CYCLE},
    {"ShortestLengthPast32Bits", [](Request& r) { r.cost(r.ab, 2147483647); },
     ANALYSIS_ERROR_COST_OVERFLOW},
    {"ShortestLengthBelow32Bits",
     [](Request& r) {
       r.cost(r.ab, -2147483647 - 1);
       r.cost(r.bc, -1);
     },
     ANALYSIS_ERROR_COST_OVERFLOW},
};

INSTANTIATE_TEST_SUITE_P(Engine, KyEngineErrors, ::testing::ValuesIn(kErrorCases),
                         [](const auto& info) { return std::string(info.param.name); });

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

} // namespace
