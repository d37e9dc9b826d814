#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisResultDescriptionManager.h>
#include <kyplatform/KyServiceItemDescription.h>

namespace {
struct Row {
  const wchar_t* key;
  const wchar_t* ownerType;
  const wchar_t* valueType;
};

// Registration order.
constexpr Row kRows[] = {
    {KyAnalysisKey::breadthFirstSearch::nodeOrderNumber, L"KyNode", L"Integer"},
    {KyAnalysisKey::breadthFirstSearch::noneNodeList, L"none", L"List<KyNode>"},
    {KyAnalysisKey::depthFirstSearch::nodeOrderNumber, L"KyNode", L"Integer"},
    {KyAnalysisKey::depthFirstSearch::noneNodeList, L"none", L"List<KyNode>"},
    {KyAnalysisKey::depthFirstSearch::nodeCompletionNumber, L"KyNode", L"Integer"},
    {KyAnalysisKey::depthFirstSearch::nodeParent, L"KyNode", L"KyNode"},
    {KyAnalysisKey::depthFirstSearch::edgeType, L"KyEdge", L"Integer"},
    {KyAnalysisKey::topologicalSort::nodeOrderNumber, L"KyNode", L"Integer"},
    {KyAnalysisKey::topologicalSort::noneNodeList, L"none", L"List<KyNode>"},
    {KyAnalysisKey::topologicalSort::noneAcyclic, L"none", L"Boolean"},
    {KyAnalysisKey::connectedComponents::nodeComponentNumber, L"KyNode", L"Integer"},
    {KyAnalysisKey::connectedComponents::noneComponentList, L"none", L"List<List<KyNode>>"},
    {KyAnalysisKey::biconnectedComponents::noneComponentList, L"none", L"List<List<KyNode>>"},
    {KyAnalysisKey::biconnectedComponents::noneArticulationNodeList, L"none", L"List<KyNode>"},
    {KyAnalysisKey::stronglyConnectedComponents::nodeComponentNumber, L"KyNode", L"Integer"},
    {KyAnalysisKey::stronglyConnectedComponents::noneComponentList, L"none", L"List<List<KyNode>>"},
    {KyAnalysisKey::stronglyConnectedComponents::noneEdgeComponentList, L"none",
     L"List<List<KyEdge>>"},
    {KyAnalysisKey::clustering::nodeClusterNumber, L"KyNode", L"Integer"},
    {KyAnalysisKey::clustering::noneClusterList, L"none", L"List<List<KyNode>>"},
    {KyAnalysisKey::clustering::constraintFulfilled, L"KyClusteringConstraint", L"Boolean"},
    {KyAnalysisKey::pathExistsTest::nonePathExists, L"none", L"Boolean"},
    {KyAnalysisKey::pathExistsTest::noneEdgeList, L"none", L"List<KyEdge>"},
    {KyAnalysisKey::uniquePathTest::noneUniquePathExists, L"none", L"Boolean"},
    {KyAnalysisKey::uniquePathTest::noneEdgeList, L"none", L"List<KyEdge>"},
    {KyAnalysisKey::disjointPaths::noneNumberOfDisjointPaths, L"none", L"Integer"},
    {KyAnalysisKey::disjointPaths::nonePathList, L"none", L"List<List<KyEdge>>"},
    {KyAnalysisKey::reachableNodes::noneNodeList, L"none", L"List<KyNode>"},
    {KyAnalysisKey::rootCause::noneCauseNodeList, L"none", L"List<KyNode>"},
    {KyAnalysisKey::rootCause::nodeReachedNodeList, L"KyNode", L"List<KyNode>"},
    {KyAnalysisKey::shortestPaths::nonePathExists, L"none", L"Boolean"},
    {KyAnalysisKey::shortestPaths::noneEdgeList, L"none", L"List<KyEdge>"},
    {KyAnalysisKey::shortestPaths::noneTotalCost, L"none", L"Integer"},
    {KyAnalysisKey::allPairsShortestPaths::pairLastEdge, L"KyPair", L"KyEdge"},
    {KyAnalysisKey::allPairsShortestPaths::pairTotalCost, L"KyPair", L"Integer"},
    {KyAnalysisKey::acyclicTest::noneAcyclic, L"none", L"Boolean"},
    {KyAnalysisKey::newCycleTest::noneWillCreateCycle, L"none", L"Boolean"},
    {KyAnalysisKey::cycleBreakingEdgeDetection::noneEdgeList, L"none", L"List<KyEdge>"},
    {KyAnalysisKey::cycleBreakingEdgeDetection::noneReflexiveEdgeList, L"none", L"List<KyEdge>"},
    {KyAnalysisKey::cycleBreakingEdgeDetection::edgeBackward, L"KyEdge", L"Boolean"},
    {KyAnalysisKey::treeTest::noneTree, L"none", L"Boolean"},
    {KyAnalysisKey::treeTest::noneForest, L"none", L"Boolean"},
    {KyAnalysisKey::minimumSpanningTree::noneTotalCost, L"none", L"Integer"},
    {KyAnalysisKey::minimumSpanningTree::noneTreeEdgeList, L"none", L"List<KyEdge>"},
    {KyAnalysisKey::minimumSpanningTree::edgeTreeEdge, L"KyEdge", L"Boolean"},
    {KyAnalysisKey::maximumFlow::edgeFlow, L"KyEdge", L"Integer"},
    {KyAnalysisKey::maximumFlow::noneTotalFlow, L"none", L"Integer"},
    {KyAnalysisKey::minimumCostFlow::edgeFlow, L"KyEdge", L"Integer"},
    {KyAnalysisKey::minimumCostFlow::noneTotalFlow, L"none", L"Integer"},
    {KyAnalysisKey::minimumCostFlow::noneTotalCost, L"none", L"Integer"},
    {KyAnalysisKey::minimumCut::noneTotalCost, L"none", L"Integer"},
    {KyAnalysisKey::minimumCut::noneEdgeList, L"none", L"List<KyEdge>"},
    {KyAnalysisKey::sortedPaths::nonePathExists, L"none", L"Boolean"},
    {KyAnalysisKey::sortedPaths::nonePathGraph, L"none", L"KyGraph"},
    {KyAnalysisKey::sortedPaths::noneRootNode, L"none", L"KyNode"},
    {KyAnalysisKey::sortedPaths::nodeSidetrackEdge, L"KyNode", L"KyEdge"},
    {KyAnalysisKey::sortedPaths::edgeCost, L"KyEdge", L"Integer"},
    {KyAnalysisKey::sortedPaths::edgeType, L"KyEdge", L"Integer"},
    {KyAnalysisKey::sortedPaths::noneShortestPathLength, L"none", L"Integer"},
    {KyAnalysisKey::sortedPaths::nodeTreeEdge, L"KyNode", L"KyEdge"},
    {KyAnalysisKey::sortedPaths::noneStartNode, L"none", L"KyNode"},
    {KyAnalysisKey::sortedPaths::noneFinishNode, L"none", L"KyNode"},
    {KyAnalysisKey::sortedPaths::noneFinishNodeCost, L"none", L"Integer"},
    {KyAnalysisKey::sortedPaths::noneNumberOfPaths, L"none", L"Integer"},
    {KyAnalysisKey::sortedPaths::noneAcyclic, L"none", L"Boolean"},
    {KyAnalysisKey::errorCode, L"none", L"Integer"},
};
} // namespace

KyAnalysisResultDescriptionManager::KyAnalysisResultDescriptionManager() {
  for (const Row& r : kRows)
    pOption(new KyServiceResultDescription(r.key, r.ownerType, r.valueType, nullptr));
}

KyAnalysisResultDescriptionManager::~KyAnalysisResultDescriptionManager() = default;
