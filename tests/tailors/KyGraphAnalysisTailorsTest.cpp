// The search, cycle and tree test, component, flow, cut and spanning-tree
// tailors. Every operation selector, option accessor, list builder and
// result getter is one row of a table, driven through member-function
// pointers. The rows of a table share one data store, so an accessor that
// reads or writes another's key shows up in the rows after it.
#include "support/KyTailorTesting.h"

#include <kyanalysis/kyanalysis.h>

#include <gtest/gtest.h>

#include <functional>
#include <type_traits>
#include <typeinfo>
#include <variant>
#include <vector>

namespace {

namespace k = KyAnalysisKey;
namespace bfs = KyAnalysisKey::breadthFirstSearch;
namespace dfs = KyAnalysisKey::depthFirstSearch;
namespace topo = KyAnalysisKey::topologicalSort;
namespace breaking = KyAnalysisKey::cycleBreakingEdgeDetection;
namespace scc = KyAnalysisKey::stronglyConnectedComponents;
namespace mst = KyAnalysisKey::minimumSpanningTree;
namespace maxFlow = KyAnalysisKey::maximumFlow;
namespace costFlow = KyAnalysisKey::minimumCostFlow;
namespace cut = KyAnalysisKey::minimumCut;

using kytest::Graph;
using kytest::graphOption;
using kytest::listBuilder;
using kytest::ListRow;
using kytest::memberOption;
using kytest::operation;
using kytest::Owner;
using kytest::toValue;
using kytest::Value;

using Bfs = KyBreadthFirstSearchInputTailor;
using Dfs = KyDepthFirstSearchInputTailor;
using NewCycle = KyNewCycleTestInputTailor;
using CycleBreaking = KyCycleBreakingEdgeDetectionInputTailor;
using Tree = KyTreeTestInputTailor;
using Mst = KyMinimumSpanningTreeInputTailor;
using MaxFlow = KyMaximumFlowInputTailor;
using CostFlow = KyMinimumCostFlowInputTailor;
using Cut = KyMinimumCutInputTailor;

TEST(GraphAnalysisTailors, OptionsReadDefaultsThenTheValueSetUnderTheirOwnKeyAndOwner) {
  Graph g;
  KyNode* const none = nullptr;
  KyNode* const node = g.nodes[2];
  const int unbounded = 2147483647;
  const std::vector<kytest::OptionRow> rows = {
      graphOption(bfs::graphUndirected, &Bfs::undirected, &Bfs::undirected, 0, 1),
      memberOption<KyEdge>(bfs::edgeUndirected, &Bfs::undirected, &Bfs::undirected, 0, 1),
      graphOption(bfs::graphStartNode, &Bfs::pStartNode, &Bfs::pStartNode, none, node),
      graphOption(dfs::graphUndirected, &Dfs::undirected, &Dfs::undirected, 0, 1),
      memberOption<KyEdge>(dfs::edgeUndirected, &Dfs::undirected, &Dfs::undirected, 0, 1),
      graphOption(dfs::graphStartNode, &Dfs::pStartNode, &Dfs::pStartNode, none, node),
      graphOption(k::newCycleTest::graphSourceNode, &NewCycle::pSourceNode, &NewCycle::pSourceNode,
                  none, node),
      graphOption(k::newCycleTest::graphTargetNode, &NewCycle::pTargetNode, &NewCycle::pTargetNode,
                  none, node),
      graphOption(breaking::graphQuality, &CycleBreaking::quality, &CycleBreaking::quality,
                  CYCLEBREAKING_QUALITY_MEDIUM, CYCLEBREAKING_QUALITY_PROOF),
      graphOption(k::treeTest::graphDirected, &Tree::directed, &Tree::directed, 0, 1),
      memberOption<KyEdge>(mst::edgeCost, &Mst::cost, &Mst::cost, 1, 7),
      graphOption(maxFlow::graphSourceNode, &MaxFlow::pSourceNode, &MaxFlow::pSourceNode, none,
                  node),
      graphOption(maxFlow::graphSinkNode, &MaxFlow::pSinkNode, &MaxFlow::pSinkNode, none, node),
      // A capacity of 0 is a value like any other, not "unset".
      memberOption<KyNode>(maxFlow::nodeCapacity, &MaxFlow::capacity, &MaxFlow::capacity, unbounded,
                           0),
      memberOption<KyEdge>(maxFlow::edgeCapacity, &MaxFlow::capacity, &MaxFlow::capacity, 1, 5),
      graphOption(costFlow::graphDesiredFlow, &CostFlow::desiredFlow, &CostFlow::desiredFlow, 0,
                  12),
      graphOption(costFlow::graphSourceNode, &CostFlow::pSourceNode, &CostFlow::pSourceNode, none,
                  node),
      graphOption(costFlow::graphSinkNode, &CostFlow::pSinkNode, &CostFlow::pSinkNode, none, node),
      memberOption<KyNode>(costFlow::nodeCost, &CostFlow::cost, &CostFlow::cost, 0, 3),
      // Negative amounts are stored unchanged: nothing is validated.
      memberOption<KyEdge>(costFlow::edgeCost, &CostFlow::cost, &CostFlow::cost, 1, -4),
      memberOption<KyNode>(costFlow::nodeCapacity, &CostFlow::capacity, &CostFlow::capacity,
                           unbounded, 0),
      memberOption<KyEdge>(costFlow::edgeCapacity, &CostFlow::capacity, &CostFlow::capacity, 1, 6),
      graphOption(cut::graphSourceNode, &Cut::pSourceNode, &Cut::pSourceNode, none, node),
      graphOption(cut::graphSinkNode, &Cut::pSinkNode, &Cut::pSinkNode, none, node),
      memberOption<KyEdge>(cut::edgeCost, &Cut::cost, &Cut::cost, 1, 9),
  };
  kytest::checkOptions(g, rows);
}

TEST(GraphAnalysisTailors, EachSelectorStoresItsCodeAndTheLastOneWins) {
  const std::vector<kytest::OperationRow> rows = {
      operation(&Bfs::setAsCurrentOperation, OPERATION_BREADTH_FIRST_SEARCH),
      operation(&Dfs::setAsCurrentOperation, OPERATION_DEPTH_FIRST_SEARCH),
      operation(&KyTopologicalSortInputTailor::setAsCurrentOperation, OPERATION_TOPOLOGICAL_SORT),
      operation(&KyConnectedComponentsInputTailor::setAsCurrentOperation,
                OPERATION_CONNECTED_COMPONENTS),
      operation(&KyBiconnectedComponentsInputTailor::setAsCurrentOperation,
                OPERATION_BICONNECTED_COMPONENTS),
      operation(&KyStronglyConnectedComponentsInputTailor::setAsCurrentOperation,
                OPERATION_STRONGLY_CONNECTED_COMPONENTS),
      operation(&KyAcyclicTestInputTailor::setAsCurrentOperation, OPERATION_ACYCLIC_TEST),
      operation(&NewCycle::setAsCurrentOperation, OPERATION_NEW_CYCLE_TEST),
      operation(&CycleBreaking::setAsCurrentOperation, OPERATION_CYCLE_BREAKING_EDGE_DETECTION),
      operation(&Tree::setAsCurrentOperation, OPERATION_TREE_TEST),
      operation(&Mst::setAsCurrentOperation, OPERATION_MINIMUM_SPANNING_TREE),
      operation(&MaxFlow::setAsCurrentOperation, OPERATION_MAXIMUM_FLOW),
      operation(&CostFlow::setAsCurrentOperation, OPERATION_MINIMUM_COST_FLOW),
      operation(&Cut::setAsCurrentOperation, OPERATION_MINIMUM_CUT),
      operation(&Bfs::setAsCurrentOperation, OPERATION_BREADTH_FIRST_SEARCH), // 0 replaces 19
  };
  kytest::checkOperations(rows);
}

TEST(GraphAnalysisTailors, ListBuildersReplaceTheCallersListWithACopyOfTheStoredOne) {
  const std::vector<ListRow> rows = {
      listBuilder(bfs::noneNodeList, &KyBreadthFirstSearchOutputTailor::buildNodeOrderList),
      listBuilder(dfs::noneNodeList, &KyDepthFirstSearchOutputTailor::buildNodeOrderList),
      listBuilder(topo::noneNodeList, &KyTopologicalSortOutputTailor::buildNodeOrderList),
      listBuilder(breaking::noneEdgeList, &KyCycleBreakingEdgeDetectionOutputTailor::buildEdgeList),
      listBuilder(breaking::noneReflexiveEdgeList,
                  &KyCycleBreakingEdgeDetectionOutputTailor::buildReflexiveEdgeList),
      listBuilder(k::biconnectedComponents::noneArticulationNodeList,
                  &KyBiconnectedComponentsOutputTailor::buildArticulationNodeList),
      listBuilder(mst::noneTreeEdgeList, &KyMinimumSpanningTreeOutputTailor::buildTreeEdgeList),
      listBuilder(cut::noneEdgeList, &KyMinimumCutOutputTailor::buildEdgeList),
  };
  kytest::checkListBuilders(rows);
}

struct ResultRow {
  const wchar_t* key;
  Owner owner;
  Value value;
  std::function<Value(KyServiceOutputData*, KyObject*)> get;
};

template <class T, class V> ResultRow scalarResult(const wchar_t* key, V (T::*get)() const) {
  return {key, Owner::none, 1,
          [get](KyServiceOutputData* data, KyObject*) { return toValue((T(data).*get)()); }};
}

template <class M, class T, class V>
ResultRow memberResult(const wchar_t* key, V (T::*get)(M*) const, Value value) {
  return {key, std::is_same_v<M, KyNode> ? Owner::node : Owner::edge, value,
          [get](KyServiceOutputData* data, KyObject* owner) {
            return toValue((T(data).*get)(static_cast<M*>(owner)));
          }};
}

TEST(GraphAnalysisTailors, ResultGettersReadTheirOwnKeyAndOwner) {
  Graph g;
  using DfsAnswer = KyDepthFirstSearchOutputTailor;
  using MstAnswer = KyMinimumSpanningTreeOutputTailor;
  using CostFlowAnswer = KyMinimumCostFlowOutputTailor;
  const ResultRow rows[] = {
      memberResult<KyNode>(bfs::nodeOrderNumber, &KyBreadthFirstSearchOutputTailor::orderNumber, 4),
      memberResult<KyNode>(dfs::nodeOrderNumber, &DfsAnswer::orderNumber, 5),
      memberResult<KyNode>(dfs::nodeCompletionNumber, &DfsAnswer::completionNumber, 6),
      memberResult<KyNode>(dfs::nodeParent, &DfsAnswer::pParentNode, g.nodes[2]),
      memberResult<KyEdge>(dfs::edgeType, &DfsAnswer::edgeType, EDGE_TYPE_CROSS),
      memberResult<KyNode>(topo::nodeOrderNumber, &KyTopologicalSortOutputTailor::orderNumber, 7),
      scalarResult(topo::noneAcyclic, &KyTopologicalSortOutputTailor::acyclic),
      scalarResult(k::acyclicTest::noneAcyclic, &KyAcyclicTestOutputTailor::acyclic),
      scalarResult(k::newCycleTest::noneWillCreateCycle,
                   &KyNewCycleTestOutputTailor::willCreateCycle),
      memberResult<KyEdge>(breaking::edgeBackward,
                           &KyCycleBreakingEdgeDetectionOutputTailor::backwardEdge, 1),
      scalarResult(k::treeTest::noneTree, &KyTreeTestOutputTailor::isTree),
      scalarResult(k::treeTest::noneForest, &KyTreeTestOutputTailor::isForest),
      memberResult<KyNode>(k::connectedComponents::nodeComponentNumber,
                           &KyConnectedComponentsOutputTailor::componentNumber, 8),
      memberResult<KyNode>(scc::nodeComponentNumber,
                           &KyStronglyConnectedComponentsOutputTailor::componentNumber, 9),
      scalarResult(mst::noneTotalCost, &MstAnswer::totalCost),
      memberResult<KyEdge>(mst::edgeTreeEdge, &MstAnswer::treeEdge, 1),
      memberResult<KyEdge>(maxFlow::edgeFlow, &KyMaximumFlowOutputTailor::flow, 10),
      scalarResult(maxFlow::noneTotalFlow, &KyMaximumFlowOutputTailor::totalFlow),
      memberResult<KyEdge>(costFlow::edgeFlow, &CostFlowAnswer::flow, 11),
      scalarResult(costFlow::noneTotalFlow, &CostFlowAnswer::totalFlow),
      scalarResult(costFlow::noneTotalCost, &CostFlowAnswer::totalCost),
      scalarResult(cut::noneTotalCost, &KyMinimumCutOutputTailor::totalCost),
  };
  KyServiceOutputData output;
  for (const ResultRow& row : rows) {
    SCOPED_TRACE(row.key);
    const bool nodeValued = std::holds_alternative<KyObject*>(row.value);
    const Value absent = nodeValued ? Value(static_cast<KyObject*>(nullptr)) : Value(0);
    KyObject* owner = g.owner(row.owner, 0);
    EXPECT_EQ(row.get(&output, owner), absent);
    if (nodeValued)
      output.setValue(owner, row.key, std::get<KyObject*>(row.value), 0, 0);
    else
      output.setValue(owner, row.key, new KyInt(std::get<int>(row.value)), 1, 0);
    EXPECT_EQ(row.get(&output, owner), row.value);
    if (row.owner != Owner::none) {
      EXPECT_EQ(row.get(&output, g.owner(row.owner, 1)), absent);
    }
  }
}

TEST(GraphAnalysisTailors, QualityNumbersOutsideTheNamedLevelsTravelUnchanged) {
  KyServiceInputData input;
  KyCycleBreakingEdgeDetectionInputTailor tailor(&input);
  for (const int number : {0, 1, 2, -1, 7}) {
    const auto quality = static_cast<KyCycleBreakingQualityEnum>(number);
    EXPECT_EQ(tailor.quality(quality), quality);
    EXPECT_EQ(tailor.quality(), quality);
  }
}

using Lists = std::vector<std::vector<KyObject*>>;

// The objects of each list that `lists` holds.
Lists contentsOf(const KyDList& lists) {
  Lists result;
  for (KyDListIter outer(&lists); outer; ++outer) {
    result.emplace_back();
    for (KyDListIter inner(KyDList::castDown(outer.pObject())); inner; ++inner)
      result.back().push_back(inner.pObject());
  }
  return result;
}

// A list that owns what it holds, as a service's list of components does.
class OwningList : public KyDList {
public:
  ~OwningList() override { deleteAllCellsAndObjects(); }
};

template <class T>
ListRow listsBuilder(const wchar_t* key, void (T::*build)(KyDList&) const, Owner items) {
  return {key, items, Owner::none, [build](KyServiceOutputData* data, KyObject*, KyDList& lists) {
            (T(data).*build)(lists);
          }};
}

TEST(GraphAnalysisTailors, ComponentListsAreFreshCopiesOfTheirItemClassThatTheCallerOwns) {
  using Strongly = KyStronglyConnectedComponentsOutputTailor;
  const ListRow rows[] = {
      listsBuilder(k::connectedComponents::noneComponentList,
                   &KyConnectedComponentsOutputTailor::buildComponentList, Owner::node),
      listsBuilder(k::biconnectedComponents::noneComponentList,
                   &KyBiconnectedComponentsOutputTailor::buildComponentList, Owner::node),
      listsBuilder(scc::noneComponentList, &Strongly::buildComponentList, Owner::node),
      listsBuilder(scc::noneEdgeComponentList, &Strongly::buildEdgeComponentList, Owner::edge),
  };
  Graph g;
  for (const ListRow& row : rows) {
    SCOPED_TRACE(row.key);
    const bool edges = row.items == Owner::edge;
    KyServiceOutputData output;
    OwningList lists;
    lists.appendObject(new KyNodeDList); // the caller's own: the builder frees it
    row.build(&output, nullptr, lists);
    EXPECT_EQ(lists.length(), 0); // no result yet

    // The service's answer: components {2 0}, {1} and an empty one.
    auto* components = new OwningList;
    for (const Lists::value_type& members :
         Lists{{g.owner(row.items, 2), g.owner(row.items, 0)}, {g.owner(row.items, 1)}, {}}) {
      KyDList* component = edges ? static_cast<KyDList*>(new KyEdgeDList) : new KyNodeDList;
      for (KyObject* object : members)
        component->appendObject(object);
      components->appendObject(component);
    }
    output.setValue(nullptr, row.key, components, 1, 0);
    const Lists stored = contentsOf(*components);

    // Three lists after each call, not six: a call frees the lists of the
    // one before, and dropping them leaves the stored components intact.
    for (int call = 0; call < 2; ++call) {
      row.build(&output, nullptr, lists);
      EXPECT_EQ(contentsOf(lists), stored);
      for (KyDListIter it(&lists); it; ++it)
        EXPECT_EQ(typeid(*it.pObject()), edges ? typeid(KyEdgeDList) : typeid(KyNodeDList));
    }
    lists.deleteAllCellsAndObjects();
    EXPECT_EQ(contentsOf(*components), stored);
  }
}

} // namespace
