// Option tables of the path-query, sorted-paths, reachable-nodes and
// root-cause tailors, checked through member-function pointers, and the
// disjoint-paths list of paths.
#include "support/KyTailorTesting.h"

#include <kyanalysis/KyAllPairsShortestPathsInputTailor.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyDisjointPathsInputTailor.h>
#include <kyanalysis/KyDisjointPathsOutputTailor.h>
#include <kyanalysis/KyPathExistsTestInputTailor.h>
#include <kyanalysis/KyReachableNodesInputTailor.h>
#include <kyanalysis/KyRootCauseInputTailor.h>
#include <kyanalysis/KyShortestPathsInputTailor.h>
#include <kyanalysis/KySortedPathsInputTailor.h>
#include <kyanalysis/KyUniquePathTestInputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace k = KyAnalysisKey;

using kytest::graphOption;
using kytest::memberOption;

using PE = KyPathExistsTestInputTailor;
using UP = KyUniquePathTestInputTailor;
using DP = KyDisjointPathsInputTailor;
using SP = KyShortestPathsInputTailor;
using AP = KyAllPairsShortestPathsInputTailor;
using RN = KyReachableNodesInputTailor;
using RC = KyRootCauseInputTailor;
using SO = KySortedPathsInputTailor;
namespace pe = k::pathExistsTest;
namespace up = k::uniquePathTest;
namespace dp = k::disjointPaths;
namespace sp = k::shortestPaths;
namespace ap = k::allPairsShortestPaths;
namespace rn = k::reachableNodes;
namespace rc = k::rootCause;
namespace so = k::sortedPaths;

// Values set lie outside 0..1 on purpose: setters check nothing.
TEST(PathQueryTailors, OptionsReadDefaultsThenTheValueSetUnderTheirOwnKeyAndOwner) {
  kytest::Graph g;
  KyNode* const none = nullptr;
  KyNode* const node = g.nodes[2];
  kytest::checkOptions(
      g, {
             graphOption(pe::graphUndirected, &PE::undirected, &PE::undirected, 0, -5),
             memberOption<KyEdge>(pe::edgeUndirected, &PE::undirected, &PE::undirected, 0, -5),
             graphOption(pe::graphStartNode, &PE::pStartNode, &PE::pStartNode, none, node),
             graphOption(pe::graphFinishNode, &PE::pFinishNode, &PE::pFinishNode, none, node),
             graphOption(up::graphUndirected, &UP::undirected, &UP::undirected, 0, -5),
             memberOption<KyEdge>(up::edgeUndirected, &UP::undirected, &UP::undirected, 0, -5),
             graphOption(up::graphStartNode, &UP::pStartNode, &UP::pStartNode, none, node),
             graphOption(up::graphFinishNode, &UP::pFinishNode, &UP::pFinishNode, none, node),
             graphOption(dp::graphNodeDisjointPaths, &DP::nodeDisjointPaths, &DP::nodeDisjointPaths,
                         0, -5),
             graphOption(dp::graphStartNode, &DP::pStartNode, &DP::pStartNode, none, node),
             graphOption(dp::graphFinishNode, &DP::pFinishNode, &DP::pFinishNode, none, node),
             graphOption(sp::graphUndirected, &SP::undirected, &SP::undirected, 0, -5),
             memberOption<KyEdge>(sp::edgeUndirected, &SP::undirected, &SP::undirected, 0, -5),
             memberOption<KyNode>(sp::nodeCost, &SP::cost, &SP::cost, 0, -5),
             memberOption<KyEdge>(sp::edgeCost, &SP::cost, &SP::cost, 1, -4),
             graphOption(sp::graphStartNode, &SP::pStartNode, &SP::pStartNode, none, node),
             graphOption(sp::graphFinishNode, &SP::pFinishNode, &SP::pFinishNode, none, node),
             graphOption(ap::graphUndirected, &AP::undirected, &AP::undirected, 0, -5),
             memberOption<KyEdge>(ap::edgeUndirected, &AP::undirected, &AP::undirected, 0, -5),
             memberOption<KyNode>(ap::nodeCost, &AP::cost, &AP::cost, 0, -5),
             memberOption<KyEdge>(ap::edgeCost, &AP::cost, &AP::cost, 1, -4),
             graphOption(rn::graphUndirected, &RN::undirected, &RN::undirected, 0, -5),
             memberOption<KyEdge>(rn::edgeUndirected, &RN::undirected, &RN::undirected, 0, -5),
             memberOption<KyNode>(rn::nodeCost, &RN::cost, &RN::cost, 0, -5),
             memberOption<KyEdge>(rn::edgeCost, &RN::cost, &RN::cost, 1, -4),
             graphOption(rn::graphStartNode, &RN::pStartNode, &RN::pStartNode, none, node),
             graphOption(rn::graphRange, &RN::range, &RN::range, -1, -6),
             graphOption(rn::graphLevel, &RN::level, &RN::level, 0, -5),
             graphOption(rc::graphUndirected, &RC::undirected, &RC::undirected, 0, -5),
             memberOption<KyEdge>(rc::edgeUndirected, &RC::undirected, &RC::undirected, 0, -5),
             memberOption<KyNode>(rc::nodeCost, &RC::cost, &RC::cost, 0, -5),
             memberOption<KyEdge>(rc::edgeCost, &RC::cost, &RC::cost, 1, -4),
             graphOption(rc::graphEffectNodeList, &RC::pEffectNodeList, &RC::pEffectNodeList,
                         static_cast<KyNodeDList*>(nullptr), &g.nodeList),
             graphOption(rc::graphRange, &RC::range, &RC::range, -1, -6),
             graphOption(rc::graphThreshold, &RC::threshold, &RC::threshold, 1.0, -4.0),
             memberOption<KyNode>(rc::nodeWeight, &RC::weight, &RC::weight, 1, -4),
             graphOption(so::graphStartNode, &SO::pStartNode, &SO::pStartNode, none, node),
             graphOption(so::graphFinishNode, &SO::pFinishNode, &SO::pFinishNode, none, node),
             memberOption<KyNode>(so::nodeCost, &SO::cost, &SO::cost, 0, -5),
             memberOption<KyEdge>(so::edgeCost, &SO::cost, &SO::cost, 1, -4),
         });
}

TEST(PathQueryTailors, PathListBuilderHandsOutFreshEdgeListsThatTheCallerOwns) {
  kytest::checkListOfListsBuilders({kytest::listsBuilder(
      dp::nonePathList, &KyDisjointPathsOutputTailor::buildPathList, kytest::Owner::edge)});
}

} // namespace
