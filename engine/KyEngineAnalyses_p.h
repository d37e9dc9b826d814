// The analyses of the local engine, one function each, in a file of its
// own. Internal to the engine; not installed.
//
// Each reads its request from `input` (the operation and graph are already
// checked) and writes its answer through `answer`; it returns a
// KyAnalysisErrorEnum code, and on failure the engine discards whatever was
// written.
#pragma once

class KyEngineAnswer;
class KyGraph;
class KyServiceInputData;

/// Sorted paths: the shortest-path tree towards the finish node, the path
/// graph of the sidetrack edges and the summary results, from which
/// KySortedPathIter yields the start-to-finish walks in order of cost.
/// O(m + n log n) memory; O(m log n) time when no cost is negative, O(n m)
/// otherwise.
int runSortedPathsAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);
