// All-pairs shortest paths: for every ordered pair of nodes (from, to)
// that a walk joins, the last edge and the cost of a cheapest walk, under
// the cost convention of KyEngineShortestPaths_p.h.
//
// Every cycle lies on a walk from each of its nodes back to that node, so
// a cycle of negative cost anywhere makes the answer code 10 (an undirected
// edge of negative cost is such a cycle when twice its cost plus its ends'
// costs is negative). Otherwise Johnson's method: Bellman-Ford potentials
// once when a cost is negative, then Dijkstra from every node. The pair
// (v, v) holds cost 0, the empty walk, and no last edge, unless a walk
// round a cycle back to v costs less (a high cost of v can make it so).
// The last edges of one start form a tree, so the output tailor's rebuild
// leads back to the start. A cost past 32 bits makes the answer code 11.
#include <kyanalysis/KyAllPairsShortestPathsInputTailor.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyPair.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineRequest_p.h"
#include "KyEngineSearch_p.h"
#include "KyEngineShortestPaths_p.h"
#include "KyEngineStop_p.h"

#include <algorithm>
#include <vector>

namespace {

namespace key = KyAnalysisKey::allPairsShortestPaths;

// Stores the two results of (from, to) under the pair of the two nodes,
// which the output data files by their positions and need not keep; a
// negative `lastEdge` stores the cost alone.
void storePair(const KyEngineNetwork& net, int from, int to, std::int64_t cost, int lastEdge,
               KyEngineAnswer& answer) {
  const KyPair pair(net.node(from), net.node(to));
  answer.integer(&pair, key::pairTotalCost, static_cast<int>(cost));
  if (lastEdge >= 0)
    answer.reference(&pair, key::pairLastEdge, net.edge(lastEdge));
}

} // namespace

int runAllPairsShortestPathsAnalysis(KyServiceInputData& input, KyGraph& graph,
                                     KyEngineAnswer& answer) {
  const KyAllPairsShortestPathsInputTailor request(&input);
  const KyEngineNetwork net = readSearchNetwork(input, graph, request, key::edgeUndirected);
  KyEngineWalkSearch search(net, nodeIntegers(input, graph, key::nodeCost),
                            edgeIntegers(input, graph, key::edgeCost));
  if (!search.prepare())
    return ANALYSIS_ERROR_NEGATIVE_CYCLE;

  KyEngineWalkTree tree;
  for (int from = 0; from < net.nodeCount(); ++from) {
    KyEngineStop::check();
    search.search(from, kEngineUnreached, tree);
    for (int to = 0; to < net.nodeCount(); ++to) {
      const bool roundTrip = to == from && tree.closedCost < 0;
      const std::int64_t cost = roundTrip ? tree.closedCost : tree.cost[to];
      if (cost == kEngineUnreached)
        continue;
      if (!fitsAnswer(cost))
        return ANALYSIS_ERROR_COST_OVERFLOW;
      storePair(net, from, to, cost, roundTrip ? tree.closedEdge : tree.lastEdge[to], answer);
    }
  }
  return ANALYSIS_ERROR_NONE;
}
