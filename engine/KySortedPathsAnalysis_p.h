// The sorted-paths analysis of the local engine. Internal; not installed.
#pragma once

class KyEngineAnswer;
class KyGraph;
class KyServiceInputData;

/// Answers a sorted-paths request on `graph`: the shortest-path tree towards
/// the finish node, the path graph of the sidetrack edges and the summary
/// results, from which KySortedPathIter yields the start-to-finish walks in
/// order of cost. Returns a KyAnalysisErrorEnum code; on failure nothing has
/// been written. Cost for n nodes and m edges: O(m + n log n) memory, and
/// O(m log n) time when no cost is negative, O(n m) otherwise.
int runSortedPathsAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);
