#include <kyanalysis/KyAnalysisOperation.h>

#include <cwchar>

namespace {
struct Names {
  const wchar_t* word;
  const wchar_t* mapName;
};

// Indexed by operation code.
constexpr Names kNames[] = {
    {L"breadthFirstSearch", L"OPERATION_BREADTH_FIRST_SEARCH"},
    {L"depthFirstSearch", L"OPERATION_DEPTH_FIRST_SEARCH"},
    {L"topologicalSort", L"OPERATION_TOPOLOGICAL_SORT"},
    {L"connectedComponents", L"OPERATION_CONNECTED_COMPONENTS"},
    {L"biconnectedComponents", L"OPERATION_BICONNECTED_COMPONENTS"},
    {L"stronglyConnectedComponents", L"OPERATION_STRONGLY_CONNECTED_COMPONENTS"},
    {L"pathExistsTest", L"OPERATION_PATH_EXISTS_TEST"},
    {L"uniquePathTest", L"OPERATION_UNIQUE_PATH_TEST"},
    {L"disjointPaths", L"OPERATION_DISJOINT_PATHS"},
    {L"reachableNodes", L"OPERATION_REACHABLE_NODES"},
    {L"shortestPaths", L"OPERATION_SHORTEST_PATHS"},
    {L"allPairsShortestPaths", L"OPERATION_ALL_PAIRS_SHORTEST_PATHS"},
    {L"acyclicTest", L"OPERATION_ACYCLIC_TEST"},
    {L"newCycleTest", L"OPERATION_NEW_CYCLE_TEST"},
    {L"cycleBreakingEdgeDetection", L"OPERATION_CYCLE_BREAKING_EDGE_DETECTION"},
    {L"treeTest", L"OPERATION_TREE_TEST"},
    {L"minimumSpanningTree", L"OPERATION_MINIMUM_SPANNING_TREE"},
    {L"maximumFlow", L"OPERATION_MAXIMUM_FLOW"},
    {L"minimumCostFlow", L"OPERATION_MINIMUM_COST_FLOW"},
    {L"minimumCut", L"OPERATION_MINIMUM_CUT"},
    {L"clustering", L"OPERATION_CLUSTERING"},
    {L"sortedPaths", L"OPERATION_SORTED_PATHS"},
    {L"rootCause", L"OPERATION_ROOT_CAUSE"},
};
static_assert(sizeof kNames / sizeof kNames[0] == KyAnalysisOperation::count(),
              "one name pair per operation code");

bool valid(int code) { return code >= 0 && code < KyAnalysisOperation::count(); }
} // namespace

const wchar_t* KyAnalysisOperation::word(int code) {
  return valid(code) ? kNames[code].word : nullptr;
}

const wchar_t* KyAnalysisOperation::mapName(int code) {
  return valid(code) ? kNames[code].mapName : nullptr;
}

KyAnalysisOperationEnum KyAnalysisOperation::fromWord(const wchar_t* word) {
  if (word != nullptr)
    for (int code = 0; code < count(); ++code)
      if (std::wcscmp(kNames[code].word, word) == 0)
        return static_cast<KyAnalysisOperationEnum>(code);
  return OPERATION_NONE;
}
