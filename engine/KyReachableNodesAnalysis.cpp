// Reachable nodes: the nodes that a walk from the start node reaches,
// within a range when one is set.
//
// The range (KyReachableNodesInputTailor::range(), which reads the level
// when no range is stored) bounds the cost of a node's cheapest walk from
// the start, inclusively, under the cost convention of
// KyEngineShortestPaths_p.h: the walk pays its edges and the nodes it
// passes through, not the start's cost nor the reached node's own. The
// start is always reached, by the empty walk of cost 0. A range of -1
// (the default) sets no bound and costs are not read; a range below -1 is
// invalid (code 13). With a bound, a cycle of negative cost that the start
// reaches makes the cheapest walks past it endlessly cheap, and the answer
// is code 10; with no bound it does not matter.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyReachableNodesInputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineRequest_p.h"
#include "KyEngineSearch_p.h"
#include "KyEngineShortestPaths_p.h"

#include <lemon/bfs.h>

#include <utility>
#include <vector>

namespace {

namespace key = KyAnalysisKey::reachableNodes;

// The nodes a walk from `start` reaches, in breadth-first order.
std::vector<int> breadthFirst(const KyEngineDigraph& digraph, int start) {
  lemon::Bfs<KyEngineDigraph::Graph> bfs(digraph.graph);
  bfs.init();
  bfs.addSource(digraph.node(start));
  std::vector<int> order;
  while (!bfs.emptyQueue())
    order.push_back(digraph.position(bfs.processNextNode()));
  return order;
}

} // namespace

int runReachableNodesAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  const KyReachableNodesInputTailor request(&input);
  KyNode* start = request.pStartNode();
  if (const int code = checkStartNode(start, graph); code != ANALYSIS_ERROR_NONE)
    return code;
  const int range = request.range();
  // The range stands in for the level while no range is stored.
  if (range < -1)
    return answer.invalidOption(&graph, input.pValue(&graph, key::graphRange) != nullptr
                                            ? key::graphRange
                                            : key::graphLevel);

  const KyEngineNetwork net = readSearchNetwork(input, graph, request, key::edgeUndirected);
  const KyEngineDigraph digraph(net);
  std::vector<int> reached;
  if (range < 0) {
    reached = breadthFirst(digraph, start->index());
  } else {
    KyEngineWalkSearch search(net, nodeIntegers(input, graph, key::nodeCost),
                              edgeIntegers(input, graph, key::edgeCost));
    // Only cycles the start reaches matter: with a negative arc the search
    // keeps those nodes alone.
    if (search.hasNegativeArc()) {
      std::vector<char> keep(static_cast<std::size_t>(net.nodeCount()), 0);
      for (int v : breadthFirst(digraph, start->index()))
        keep[v] = 1;
      search.keepOnly(std::move(keep));
    }
    if (!search.prepare())
      return ANALYSIS_ERROR_NEGATIVE_CYCLE;
    reached = search.nodesWithin(start->index(), range);
  }

  std::vector<KyNode*> nodes;
  for (int v : reached)
    nodes.push_back(net.node(v));
  answer.nodeList(nullptr, key::noneNodeList, nodes);
  return ANALYSIS_ERROR_NONE;
}
