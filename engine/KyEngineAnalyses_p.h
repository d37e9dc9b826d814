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

/// Shortest paths: a cheapest walk from the start to the finish, its cost
/// and edges. O(n + m) plus O(m log n) when no cost is negative, O(n m)
/// otherwise.
int runShortestPathsAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);

/// Reachable nodes: the nodes a walk from the start reaches, within the
/// range of walk cost when one is set. O(n + m) without a range; with one,
/// O(m log n) when no cost is negative, O(n m) otherwise.
int runReachableNodesAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);

/// All-pairs shortest paths: per ordered pair of nodes joined by a walk,
/// the last edge and the cost of a cheapest one, under pair owners.
/// O(n m log n) time (plus O(n m) when a cost is negative); the answer
/// holds up to n^2 pairs and 2 n^2 values.
int runAllPairsShortestPathsAnalysis(KyServiceInputData& input, KyGraph& graph,
                                     KyEngineAnswer& answer);

/// Path-exists test: whether a path joins start to finish, and one with
/// the fewest edges. O(n + m).
int runPathExistsTestAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);

/// Unique-path test: whether exactly one simple path joins start to
/// finish, and that path. O(n + m).
int runUniquePathTestAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);

/// Disjoint paths: the most edge-disjoint (or inner-node-disjoint) paths
/// from start to finish, with the fewest edges in all. O(k m log n) for k
/// paths.
int runDisjointPathsAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);

/// Minimum spanning tree: a minimum spanning forest of the graph, edges
/// taken as undirected, ties to the edge made first (Kruskal).
/// O(m log m) time, O(n + m) memory.
int runMinimumSpanningTreeAnalysis(KyServiceInputData& input, KyGraph& graph,
                                   KyEngineAnswer& answer);

/// Maximum flow: a flow of largest value from the source to the sink under
/// edge and node capacities (push-relabel). O(n^2 sqrt(m)) time, O(n + m)
/// memory.
int runMaximumFlowAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);

/// Minimum-cost flow: the desired amount (at most the maximum flow) from
/// the source to the sink at least edge and node cost (push-relabel, then
/// network simplex). O(n + m) memory; the simplex dominates the time.
int runMinimumCostFlowAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);

/// Minimum cut: the cheapest set of edges whose removal leaves no path
/// from the source to the sink, the one nearest the source (push-relabel).
/// O(n^2 sqrt(m)) time, O(n + m) memory.
int runMinimumCutAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);

/// Breadth-first search from the start node, or over the whole graph when
/// none is set: order numbers from 1 and the nodes in order. O(n + m).
int runBreadthFirstSearchAnalysis(KyServiceInputData& input, KyGraph& graph,
                                  KyEngineAnswer& answer);

/// Depth-first search from the start node, or over the whole graph when
/// none is set: order and completion numbers from 1, parents, edge kinds
/// and the nodes in order. Iterative; O(n + m).
int runDepthFirstSearchAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);

/// Topological sort: every node placed once, strongly connected components
/// kept together and in topological order, and whether the graph is
/// acyclic. O(m + n log n).
int runTopologicalSortAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);

/// Connected components with direction ignored: numbers from 1 in order of
/// each component's first node, and the components as node lists. O(n + m).
int runConnectedComponentsAnalysis(KyServiceInputData& input, KyGraph& graph,
                                   KyEngineAnswer& answer);

/// Biconnected components with direction ignored, as node lists, and the
/// articulation nodes; self-loops play no part. O(n + m) plus sorting the
/// components.
int runBiconnectedComponentsAnalysis(KyServiceInputData& input, KyGraph& graph,
                                     KyEngineAnswer& answer);

/// Strongly connected components: numbers from 1 in order of each
/// component's first node, the components as node lists and, aligned with
/// them, the edges inside each. O(n + m).
int runStronglyConnectedComponentsAnalysis(KyServiceInputData& input, KyGraph& graph,
                                           KyEngineAnswer& answer);

/// Acyclic test: whether the graph, edges followed from source to target,
/// holds no cycle (a self-loop is one). O(n + m).
int runAcyclicTestAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);

/// New-cycle test: whether an edge from the source to the target node would
/// lie on a cycle, that is whether the target reaches the source. O(n + m).
int runNewCycleTestAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);

/// Cycle-breaking edge detection: a small set of edges whose reversal leaves
/// the graph acyclic, found per strongly connected component by a greedy
/// order, local improvement or, small enough, an exact subset program.
/// O(m log m) per improvement pass; proof O(2^k k) per component of k nodes.
int runCycleBreakingEdgeDetectionAnalysis(KyServiceInputData& input, KyGraph& graph,
                                          KyEngineAnswer& answer);

/// Tree test: whether the graph, read undirected or as out-trees, is a
/// forest and whether it is one tree. O(n + m).
int runTreeTestAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);

/// Root cause: the effect nodes each node reaches within the range, and a
/// greedy cover of the effects by the nodes that reach enough of their
/// weight. One bounded reverse Dijkstra per effect: O(k (m + n) log n).
int runRootCauseAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);

/// Clustering: splits the nodes into clusters with few costly edges between
/// them, weights balanced, the request's constraints kept where they can be.
/// Louvain communities, then k-way refinement, one to ten runs by quality:
/// O(runs (passes (n + m) + n k)) time, O(n + m + constrained pairs) memory.
int runClusteringAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer);
