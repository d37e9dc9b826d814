// Beside error code 13 the answer names the option at fault: "errorOption"
// holds its key, stored under the owner of the value at fault.
#include "support/KyEngineTesting.h"

#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNodeDList.h>
#include <kyplatform/KyText.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

namespace key = KyAnalysisKey;

// The answer's "errorOption" entries as (owner, key text).
std::vector<std::pair<const KyObject*, std::wstring>> errorOptions(const KyServiceOutputData& out) {
  std::vector<std::pair<const KyObject*, std::wstring>> found;
  out.visitValues([&](const KyObject* owner, const wchar_t* name, KyObject* value) {
    if (std::wstring(name) == key::errorOption)
      found.emplace_back(owner, KyText::castDown(value)->pValue());
  });
  return found;
}

TEST(InvalidOption, TheAnswerNamesTheOptionAndItsOwner) {
  // Nodes 0 -> 1 -> 2; each case spoils one option of one analysis.
  struct Case {
    int operation;
    std::function<void(kytest::EngineCase&)> spoil;
    int owner; // -1 the graph, 0.. a node, 100.. an edge
    const wchar_t* key;
  };
  auto integer = [](kytest::EngineCase& c, KyObject* owner, const wchar_t* k, int value) {
    c.input.storeOwned(owner, k, new KyInt(value));
  };
  auto ends = [](kytest::EngineCase& c, const wchar_t* from, const wchar_t* to, int sink) {
    c.input.storeReference(&c.graph, from, c.node[0]);
    c.input.storeReference(&c.graph, to, c.node[sink]);
  };
  const Case cases[] = {
      {OPERATION_MAXIMUM_FLOW,
       [&](auto& c) {
         ends(c, key::maximumFlow::graphSourceNode, key::maximumFlow::graphSinkNode, 2);
         integer(c, c.edge[1], key::maximumFlow::edgeCapacity, -1);
       },
       101, key::maximumFlow::edgeCapacity},
      {OPERATION_MAXIMUM_FLOW,
       [&](auto& c) {
         ends(c, key::maximumFlow::graphSourceNode, key::maximumFlow::graphSinkNode, 2);
         integer(c, c.node[1], key::maximumFlow::nodeCapacity, -5);
       },
       1, key::maximumFlow::nodeCapacity},
      {OPERATION_MINIMUM_CUT,
       [&](auto& c) {
         ends(c, key::minimumCut::graphSourceNode, key::minimumCut::graphSinkNode, 0);
       },
       -1, key::minimumCut::graphSinkNode},
      {OPERATION_MINIMUM_COST_FLOW,
       [&](auto& c) {
         ends(c, key::minimumCostFlow::graphSourceNode, key::minimumCostFlow::graphSinkNode, 2);
         integer(c, &c.graph, key::minimumCostFlow::graphDesiredFlow, -2);
       },
       -1, key::minimumCostFlow::graphDesiredFlow},
      // The flow analyses check their requests alike: the sink first, then
      // the desired amount, then edge capacities, then node capacities.
      {OPERATION_MAXIMUM_FLOW,
       [&](auto& c) {
         ends(c, key::maximumFlow::graphSourceNode, key::maximumFlow::graphSinkNode, 0);
         integer(c, c.edge[0], key::maximumFlow::edgeCapacity, -1);
       },
       -1, key::maximumFlow::graphSinkNode},
      {OPERATION_MINIMUM_CUT,
       [&](auto& c) {
         ends(c, key::minimumCut::graphSourceNode, key::minimumCut::graphSinkNode, 2);
         integer(c, c.edge[0], key::minimumCut::edgeCost, -1);
       },
       100, key::minimumCut::edgeCost},
      {OPERATION_MINIMUM_COST_FLOW,
       [&](auto& c) {
         ends(c, key::minimumCostFlow::graphSourceNode, key::minimumCostFlow::graphSinkNode, 2);
         integer(c, &c.graph, key::minimumCostFlow::graphDesiredFlow, -1);
         integer(c, c.edge[1], key::minimumCostFlow::edgeCapacity, -1);
       },
       -1, key::minimumCostFlow::graphDesiredFlow},
      {OPERATION_MINIMUM_COST_FLOW,
       [&](auto& c) {
         ends(c, key::minimumCostFlow::graphSourceNode, key::minimumCostFlow::graphSinkNode, 2);
         integer(c, c.node[1], key::minimumCostFlow::nodeCapacity, -1);
         integer(c, c.edge[1], key::minimumCostFlow::edgeCapacity, -1);
       },
       101, key::minimumCostFlow::edgeCapacity},
      {OPERATION_MINIMUM_COST_FLOW,
       [&](auto& c) {
         ends(c, key::minimumCostFlow::graphSourceNode, key::minimumCostFlow::graphSinkNode, 2);
         integer(c, c.node[1], key::minimumCostFlow::nodeCapacity, -4);
       },
       1, key::minimumCostFlow::nodeCapacity},
      {OPERATION_REACHABLE_NODES,
       [&](auto& c) {
         c.input.storeReference(&c.graph, key::reachableNodes::graphStartNode, c.node[0]);
         integer(c, &c.graph, key::reachableNodes::graphLevel, -3);
       },
       -1, key::reachableNodes::graphLevel},
      {OPERATION_ROOT_CAUSE, [](auto&) {}, -1, key::rootCause::graphEffectNodeList},
      {OPERATION_ROOT_CAUSE,
       [&](auto& c) {
         auto* effects = new KyNodeDList;
         effects->appendNode(c.node[2]);
         c.input.storeOwned(&c.graph, key::rootCause::graphEffectNodeList, effects);
         integer(c, c.node[2], key::rootCause::nodeWeight, -1);
       },
       2, key::rootCause::nodeWeight},
      {OPERATION_CLUSTERING,
       [&](auto& c) {
         c.input.storeOwned(&c.graph, key::clustering::graphBalance, new KyDouble(2.0));
       },
       -1, key::clustering::graphBalance},
      {OPERATION_CLUSTERING, [&](auto& c) { integer(c, c.edge[0], key::clustering::edgeCost, -1); },
       100, key::clustering::edgeCost},
      {OPERATION_CYCLE_BREAKING_EDGE_DETECTION,
       [&](auto& c) { integer(c, &c.graph, key::cycleBreakingEdgeDetection::graphQuality, 7); }, -1,
       key::cycleBreakingEdgeDetection::graphQuality},
  };
  for (const Case& test : cases) {
    kytest::EngineCase c(3, {{0, 1}, {1, 2}});
    c.input.storeReference(nullptr, key::all::noneGraph, &c.graph);
    c.input.storeOwned(nullptr, key::all::noneOperation, new KyInt(test.operation));
    test.spoil(c);
    SCOPED_TRACE(test.key);
    ASSERT_EQ(c.run(), ANALYSIS_ERROR_INVALID_OPTION);
    const KyObject* owner = &c.graph;
    if (test.owner >= 100)
      owner = c.edge[test.owner - 100];
    else if (test.owner >= 0)
      owner = c.node[test.owner];
    const auto found = errorOptions(c.output);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].first, owner);
    EXPECT_EQ(found[0].second, test.key);
    EXPECT_EQ(c.output.numberOfValues(), 2); // "errorCode" beside it, nothing else
  }

  // Any other failure, and a success, leave it out.
  kytest::EngineCase c(3, {{0, 1}});
  c.input.storeReference(nullptr, key::all::noneGraph, &c.graph);
  c.input.storeOwned(nullptr, key::all::noneOperation, new KyInt(OPERATION_MAXIMUM_FLOW));
  EXPECT_EQ(c.run(), ANALYSIS_ERROR_NO_START_NODE);
  EXPECT_TRUE(errorOptions(c.output).empty());
}

} // namespace
