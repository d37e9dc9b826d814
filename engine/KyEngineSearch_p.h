// What the breadth-first and depth-first searches of the engine share:
// where a search starts and which edges it may follow both ways. Internal
// to the engine; not installed.
#pragma once

#include "KyEngineNetwork_p.h"
#include "KyEngineRequest_p.h"

#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyServiceData.h>

#include <algorithm>
#include <utility>
#include <vector>

/// Marks a search without a start node: it covers the whole graph.
constexpr int kWholeGraph = -1;

/// Reads the start node a search tailor gives into `start`, as its
/// position, or kWholeGraph when the request names none. Returns
/// ANALYSIS_ERROR_NONE, or ANALYSIS_ERROR_START_NODE_NOT_IN_GRAPH for a
/// node of another graph.
inline int readSearchStart(const KyNode* node, const KyGraph& graph, int& start) {
  if (node == nullptr) {
    start = kWholeGraph;
    return ANALYSIS_ERROR_NONE;
  }
  if (const int code = checkStartNode(node, graph); code != ANALYSIS_ERROR_NONE)
    return code;
  start = node->index();
  return ANALYSIS_ERROR_NONE;
}

/// The network of `graph` as a search request sees it: an edge may be
/// followed both ways when the graph's or its own undirected switch is on.
/// `Request` is a search input tailor and `edgeUndirected` the key of its
/// edges' switch. The graph's view when no edge but self-loops goes both
/// ways, else built in O(n + m).
template <class Request>
KyEngineNetwork readSearchNetwork(const KyServiceInputData& input, const KyGraph& graph,
                                  const Request& request, const wchar_t* edgeUndirected) {
  const int m = graph.numberOfEdges();
  std::vector<char> undirected(static_cast<std::size_t>(m), 1);
  if (request.undirected() == 0) {
    const std::vector<int> flags = edgeIntegers(input, graph, edgeUndirected);
    if (std::all_of(flags.begin(), flags.end(), [](int flag) { return flag == 0; }))
      return KyEngineNetwork(graph);
    for (int e = 0; e < m; ++e)
      undirected[e] = flags[e] != 0 ? 1 : 0;
  }
  bool twoWays = false;
  for (int e = 0; e < m && !twoWays; ++e)
    twoWays = undirected[e] && graph.edgeLinks(e).source != graph.edgeLinks(e).target;
  if (!twoWays)
    return KyEngineNetwork(graph);
  std::vector<int> source(static_cast<std::size_t>(m)), target(static_cast<std::size_t>(m));
  for (int e = 0; e < m; ++e) {
    source[e] = graph.edgeLinks(e).source;
    target[e] = graph.edgeLinks(e).target;
  }
  return KyEngineNetwork(graph, graph.numberOfNodes(), std::move(source), std::move(target),
                         std::move(undirected));
}

/// Calls search(root) with the start position, or, for kWholeGraph, with
/// every node position in order: the search skips roots it has reached.
template <class Search> void forSearchRoots(int start, int nodeCount, Search search) {
  if (start != kWholeGraph) {
    search(start);
    return;
  }
  for (int root = 0; root < nodeCount; ++root)
    search(root);
}
