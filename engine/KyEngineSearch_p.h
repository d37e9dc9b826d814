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
/// edges' switch. O(values + n + m).
template <class Request>
KyEngineNetwork readSearchNetwork(const KyServiceInputData& input, const KyGraph& graph,
                                  const Request& request, const wchar_t* edgeUndirected) {
  KyEngineNetwork net = readUnlinkedNetwork(graph);
  if (request.undirected() != 0) {
    net.undirected.assign(net.edges.size(), 1);
  } else {
    const std::vector<int> flags = edgeIntegers(input, net, edgeUndirected);
    for (std::size_t e = 0; e < flags.size(); ++e)
      net.undirected[e] = flags[e] != 0 ? 1 : 0;
  }
  linkNetwork(net);
  return net;
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
