// KyAnalysisKey: the text of every option and result key of the analysis
// service, defined once. Descriptions and tailors share these constants, so
// a key cannot be spelt two ways. A key joins the analysis word, the scope of
// its owner and a name: "shortestPaths:graph:startNode" is
// KyAnalysisKey::shortestPaths::graphStartNode.
#pragma once

namespace KyAnalysisKey {

namespace all {
inline constexpr wchar_t noneGraph[] = L"all:none:graph";
inline constexpr wchar_t noneOperation[] = L"all:none:operation";
} // namespace all

namespace allPairsShortestPaths {
inline constexpr wchar_t graphUndirected[] = L"allPairsShortestPaths:graph:undirected";
inline constexpr wchar_t edgeUndirected[] = L"allPairsShortestPaths:edge:undirected";
inline constexpr wchar_t nodeCost[] = L"allPairsShortestPaths:node:cost";
inline constexpr wchar_t edgeCost[] = L"allPairsShortestPaths:edge:cost";
inline constexpr wchar_t pairLastEdge[] = L"allPairsShortestPaths:(KyNode,KyNode):lastEdge";
inline constexpr wchar_t pairTotalCost[] = L"allPairsShortestPaths:(KyNode,KyNode):totalCost";
} // namespace allPairsShortestPaths

namespace breadthFirstSearch {
inline constexpr wchar_t graphUndirected[] = L"breadthFirstSearch:graph:undirected";
inline constexpr wchar_t edgeUndirected[] = L"breadthFirstSearch:edge:undirected";
inline constexpr wchar_t graphStartNode[] = L"breadthFirstSearch:graph:startNode";
inline constexpr wchar_t nodeOrderNumber[] = L"breadthFirstSearch:node:orderNumber";
inline constexpr wchar_t noneNodeList[] = L"breadthFirstSearch:none:nodeList";
} // namespace breadthFirstSearch

namespace clustering {
inline constexpr wchar_t edgeCost[] = L"clustering:edge:cost";
inline constexpr wchar_t graphQuality[] = L"clustering:graph:quality";
inline constexpr wchar_t nodeWeight[] = L"clustering:node:weight";
inline constexpr wchar_t graphMinNumberOfClusters[] = L"clustering:graph:minNumberOfClusters";
inline constexpr wchar_t graphMaxNumberOfClusters[] = L"clustering:graph:maxNumberOfClusters";
inline constexpr wchar_t graphBalance[] = L"clustering:graph:balance";
inline constexpr wchar_t graphClusterSizeFactor[] = L"clustering:graph:clusterSizeFactor";
inline constexpr wchar_t graphConstraintManager[] = L"clustering:graph:constraintManager";
inline constexpr wchar_t nodeClusterNumber[] = L"clustering:node:clusterNumber";
inline constexpr wchar_t noneClusterList[] = L"clustering:none:clusterList";
inline constexpr wchar_t constraintFulfilled[] = L"clustering:constraint:fulfilled";
} // namespace clustering

namespace depthFirstSearch {
inline constexpr wchar_t graphUndirected[] = L"depthFirstSearch:graph:undirected";
inline constexpr wchar_t edgeUndirected[] = L"depthFirstSearch:edge:undirected";
inline constexpr wchar_t graphStartNode[] = L"depthFirstSearch:graph:startNode";
inline constexpr wchar_t nodeOrderNumber[] = L"depthFirstSearch:node:orderNumber";
inline constexpr wchar_t noneNodeList[] = L"depthFirstSearch:none:nodeList";
inline constexpr wchar_t nodeCompletionNumber[] = L"depthFirstSearch:node:completionNumber";
inline constexpr wchar_t nodeParent[] = L"depthFirstSearch:node:parent";
inline constexpr wchar_t edgeType[] = L"depthFirstSearch:edge:type";
} // namespace depthFirstSearch

namespace disjointPaths {
inline constexpr wchar_t graphStartNode[] = L"disjointPaths:graph:startNode";
inline constexpr wchar_t graphFinishNode[] = L"disjointPaths:graph:finishNode";
inline constexpr wchar_t graphNodeDisjointPaths[] = L"disjointPaths:graph:nodeDisjointPaths";
inline constexpr wchar_t noneNumberOfDisjointPaths[] = L"disjointPaths:none:numberOfDisjointPaths";
inline constexpr wchar_t nonePathList[] = L"disjointPaths:none:pathList";
} // namespace disjointPaths

namespace sortedPaths {
inline constexpr wchar_t graphStartNode[] = L"sortedPaths:graph:startNode";
inline constexpr wchar_t graphFinishNode[] = L"sortedPaths:graph:finishNode";
inline constexpr wchar_t nodeCost[] = L"sortedPaths:node:cost";
inline constexpr wchar_t edgeCost[] = L"sortedPaths:edge:cost";
inline constexpr wchar_t nonePathExists[] = L"sortedPaths:none:pathExists";
inline constexpr wchar_t nonePathGraph[] = L"sortedPaths:none:pathGraph";
inline constexpr wchar_t noneRootNode[] = L"sortedPaths:none:rootNode";
inline constexpr wchar_t nodeSidetrackEdge[] = L"sortedPaths:node:sidetrackEdge";
inline constexpr wchar_t edgeType[] = L"sortedPaths:edge:type";
inline constexpr wchar_t noneShortestPathLength[] = L"sortedPaths:none:shortestPathLength";
inline constexpr wchar_t nodeTreeEdge[] = L"sortedPaths:node:treeEdge";
inline constexpr wchar_t noneStartNode[] = L"sortedPaths:none:startNode";
inline constexpr wchar_t noneFinishNode[] = L"sortedPaths:none:finishNode";
inline constexpr wchar_t noneFinishNodeCost[] = L"sortedPaths:none:finishNodeCost";
inline constexpr wchar_t noneNumberOfPaths[] = L"sortedPaths:none:numberOfPaths";
inline constexpr wchar_t noneAcyclic[] = L"sortedPaths:none:acyclic";
} // namespace sortedPaths

namespace maximumFlow {
inline constexpr wchar_t graphSourceNode[] = L"maximumFlow:graph:sourceNode";
inline constexpr wchar_t graphSinkNode[] = L"maximumFlow:graph:sinkNode";
inline constexpr wchar_t nodeCapacity[] = L"maximumFlow:node:capacity";
inline constexpr wchar_t edgeCapacity[] = L"maximumFlow:edge:capacity";
inline constexpr wchar_t edgeFlow[] = L"maximumFlow:edge:flow";
inline constexpr wchar_t noneTotalFlow[] = L"maximumFlow:none:totalFlow";
} // namespace maximumFlow

namespace minimumCostFlow {
inline constexpr wchar_t graphSourceNode[] = L"minimumCostFlow:graph:sourceNode";
inline constexpr wchar_t graphSinkNode[] = L"minimumCostFlow:graph:sinkNode";
inline constexpr wchar_t nodeCapacity[] = L"minimumCostFlow:node:capacity";
inline constexpr wchar_t edgeCapacity[] = L"minimumCostFlow:edge:capacity";
inline constexpr wchar_t nodeCost[] = L"minimumCostFlow:node:cost";
inline constexpr wchar_t edgeCost[] = L"minimumCostFlow:edge:cost";
inline constexpr wchar_t graphDesiredFlow[] = L"minimumCostFlow:graph:desiredFlow";
inline constexpr wchar_t edgeFlow[] = L"minimumCostFlow:edge:flow";
inline constexpr wchar_t noneTotalFlow[] = L"minimumCostFlow:none:totalFlow";
inline constexpr wchar_t noneTotalCost[] = L"minimumCostFlow:none:totalCost";
} // namespace minimumCostFlow

namespace minimumCut {
inline constexpr wchar_t graphSourceNode[] = L"minimumCut:graph:sourceNode";
inline constexpr wchar_t graphSinkNode[] = L"minimumCut:graph:sinkNode";
inline constexpr wchar_t edgeCost[] = L"minimumCut:edge:cost";
inline constexpr wchar_t noneTotalCost[] = L"minimumCut:none:totalCost";
inline constexpr wchar_t noneEdgeList[] = L"minimumCut:none:edgeList";
} // namespace minimumCut

namespace minimumSpanningTree {
inline constexpr wchar_t edgeCost[] = L"minimumSpanningTree:edge:cost";
inline constexpr wchar_t noneTotalCost[] = L"minimumSpanningTree:none:totalCost";
inline constexpr wchar_t noneTreeEdgeList[] = L"minimumSpanningTree:none:treeEdgeList";
inline constexpr wchar_t edgeTreeEdge[] = L"minimumSpanningTree:edge:treeEdge";
} // namespace minimumSpanningTree

namespace newCycleTest {
inline constexpr wchar_t graphSourceNode[] = L"newCycleTest:graph:sourceNode";
inline constexpr wchar_t graphTargetNode[] = L"newCycleTest:graph:targetNode";
inline constexpr wchar_t noneWillCreateCycle[] = L"newCycleTest:none:willCreateCycle";
} // namespace newCycleTest

namespace pathExistsTest {
inline constexpr wchar_t graphUndirected[] = L"pathExistsTest:graph:undirected";
inline constexpr wchar_t edgeUndirected[] = L"pathExistsTest:edge:undirected";
inline constexpr wchar_t graphStartNode[] = L"pathExistsTest:graph:startNode";
inline constexpr wchar_t graphFinishNode[] = L"pathExistsTest:graph:finishNode";
inline constexpr wchar_t nonePathExists[] = L"pathExistsTest:none:pathExists";
inline constexpr wchar_t noneEdgeList[] = L"pathExistsTest:none:edgeList";
} // namespace pathExistsTest

namespace reachableNodes {
inline constexpr wchar_t graphUndirected[] = L"reachableNodes:graph:undirected";
inline constexpr wchar_t edgeUndirected[] = L"reachableNodes:edge:undirected";
inline constexpr wchar_t nodeCost[] = L"reachableNodes:node:cost";
inline constexpr wchar_t edgeCost[] = L"reachableNodes:edge:cost";
inline constexpr wchar_t graphStartNode[] = L"reachableNodes:graph:startNode";
inline constexpr wchar_t graphRange[] = L"reachableNodes:graph:range";
inline constexpr wchar_t graphLevel[] = L"reachableNodes:graph:level";
inline constexpr wchar_t noneNodeList[] = L"reachableNodes:none:nodeList";
} // namespace reachableNodes

namespace rootCause {
inline constexpr wchar_t graphUndirected[] = L"rootCause:graph:undirected";
inline constexpr wchar_t edgeUndirected[] = L"rootCause:edge:undirected";
inline constexpr wchar_t nodeCost[] = L"rootCause:node:cost";
inline constexpr wchar_t edgeCost[] = L"rootCause:edge:cost";
inline constexpr wchar_t graphEffectNodeList[] = L"rootCause:graph:effectNodeList";
inline constexpr wchar_t graphRange[] = L"rootCause:graph:range";
inline constexpr wchar_t graphThreshold[] = L"rootCause:graph:threshold";
inline constexpr wchar_t nodeWeight[] = L"rootCause:node:weight";
inline constexpr wchar_t noneCauseNodeList[] = L"rootCause:none:causeNodeList";
inline constexpr wchar_t nodeReachedNodeList[] = L"rootCause:node:reachedNodeList";
} // namespace rootCause

namespace shortestPaths {
inline constexpr wchar_t graphUndirected[] = L"shortestPaths:graph:undirected";
inline constexpr wchar_t edgeUndirected[] = L"shortestPaths:edge:undirected";
inline constexpr wchar_t graphStartNode[] = L"shortestPaths:graph:startNode";
inline constexpr wchar_t graphFinishNode[] = L"shortestPaths:graph:finishNode";
inline constexpr wchar_t nodeCost[] = L"shortestPaths:node:cost";
inline constexpr wchar_t edgeCost[] = L"shortestPaths:edge:cost";
inline constexpr wchar_t nonePathExists[] = L"shortestPaths:none:pathExists";
inline constexpr wchar_t noneEdgeList[] = L"shortestPaths:none:edgeList";
inline constexpr wchar_t noneTotalCost[] = L"shortestPaths:none:totalCost";
} // namespace shortestPaths

namespace treeTest {
inline constexpr wchar_t graphDirected[] = L"treeTest:graph:directed";
inline constexpr wchar_t noneTree[] = L"treeTest:none:tree";
inline constexpr wchar_t noneForest[] = L"treeTest:none:forest";
} // namespace treeTest

namespace uniquePathTest {
inline constexpr wchar_t graphUndirected[] = L"uniquePathTest:graph:undirected";
inline constexpr wchar_t edgeUndirected[] = L"uniquePathTest:edge:undirected";
inline constexpr wchar_t graphStartNode[] = L"uniquePathTest:graph:startNode";
inline constexpr wchar_t graphFinishNode[] = L"uniquePathTest:graph:finishNode";
inline constexpr wchar_t noneUniquePathExists[] = L"uniquePathTest:none:uniquePathExists";
inline constexpr wchar_t noneEdgeList[] = L"uniquePathTest:none:edgeList";
} // namespace uniquePathTest

namespace cycleBreakingEdgeDetection {
inline constexpr wchar_t graphQuality[] = L"cycleBreakingEdgeDetection:graph:quality";
inline constexpr wchar_t noneEdgeList[] = L"cycleBreakingEdgeDetection:none:edgeList";
inline constexpr wchar_t noneReflexiveEdgeList[] =
    L"cycleBreakingEdgeDetection:none:reflexiveEdgeList";
inline constexpr wchar_t edgeBackward[] = L"cycleBreakingEdgeDetection:edge:backward";
} // namespace cycleBreakingEdgeDetection

namespace topologicalSort {
inline constexpr wchar_t nodeOrderNumber[] = L"topologicalSort:node:orderNumber";
inline constexpr wchar_t noneNodeList[] = L"topologicalSort:none:nodeList";
inline constexpr wchar_t noneAcyclic[] = L"topologicalSort:none:acyclic";
} // namespace topologicalSort

namespace connectedComponents {
inline constexpr wchar_t nodeComponentNumber[] = L"connectedComponents:node:componentNumber";
inline constexpr wchar_t noneComponentList[] = L"connectedComponents:none:componentList";
} // namespace connectedComponents

namespace biconnectedComponents {
inline constexpr wchar_t noneComponentList[] = L"biconnectedComponents:none:componentList";
inline constexpr wchar_t noneArticulationNodeList[] =
    L"biconnectedComponents:none:articulationNodeList";
} // namespace biconnectedComponents

namespace stronglyConnectedComponents {
inline constexpr wchar_t nodeComponentNumber[] =
    L"stronglyConnectedComponents:node:componentNumber";
inline constexpr wchar_t noneComponentList[] = L"stronglyConnectedComponents:none:componentList";
inline constexpr wchar_t noneEdgeComponentList[] =
    L"stronglyConnectedComponents:none:edgeComponentList";
} // namespace stronglyConnectedComponents

namespace acyclicTest {
inline constexpr wchar_t noneAcyclic[] = L"acyclicTest:none:acyclic";
} // namespace acyclicTest

/// Outside the scheme: the error code of an answer.
inline constexpr wchar_t errorCode[] = L"errorCode";
/// Outside the scheme: beside error code 13, the key of the option at fault
/// (a KyText), stored under the owner of the value at fault.
inline constexpr wchar_t errorOption[] = L"errorOption";

} // namespace KyAnalysisKey
