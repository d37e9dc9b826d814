// The search, cycle and tree test, component, flow, cut and spanning-tree
// tailors. Every option accessor and builder of a list of lists is one row
// of a table, driven through member-function pointers. The rows of a table
// share one data store, so an accessor that reads or writes another's key
// shows up in the rows after it. Operation selectors, result getters and
// list builders are read by the engine's tests against independent answers.
#include "support/KyTailorTesting.h"

#include <kyanalysis/kyanalysis.h>

#include <gtest/gtest.h>

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
using kytest::memberOption;
using kytest::Owner;

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

TEST(GraphAnalysisTailors, ComponentListsAreFreshCopiesOfTheirItemClassThatTheCallerOwns) {
  using kytest::listsBuilder;
  using Strongly = KyStronglyConnectedComponentsOutputTailor;
  kytest::checkListOfListsBuilders({
      listsBuilder(k::connectedComponents::noneComponentList,
                   &KyConnectedComponentsOutputTailor::buildComponentList, Owner::node),
      listsBuilder(k::biconnectedComponents::noneComponentList,
                   &KyBiconnectedComponentsOutputTailor::buildComponentList, Owner::node),
      listsBuilder(scc::noneComponentList, &Strongly::buildComponentList, Owner::node),
      listsBuilder(scc::noneEdgeComponentList, &Strongly::buildEdgeComponentList, Owner::edge),
  });
}

} // namespace
