// Minimum spanning forest by Kruskal's algorithm on the graph with its
// edges taken as undirected. The edges are offered in order of cost, equal
// costs in order of position, so ties go to the edge made first and the
// answer is the same on every run.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyplatform/KyGraph.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineComponents_p.h"
#include "KyEngineNetwork_p.h"
#include "KyEngineRequest_p.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace {
namespace key = KyAnalysisKey::minimumSpanningTree;

// Edge positions in order of cost, equal costs in order of position: a
// stable radix sort on the two 16-bit halves of the cost, O(m), where a
// comparison sort would take most of the run on large graphs.
std::vector<int> inOrderOfCost(const std::vector<int>& cost) {
  std::vector<int> order(cost.size()), sorted(cost.size());
  for (std::size_t e = 0; e < order.size(); ++e)
    order[e] = static_cast<int>(e);
  for (const int shift : {0, 16}) {
    const auto digit = [&](int e) {
      return (static_cast<std::uint32_t>(cost[e]) ^ 0x80000000u) >> shift & 0xFFFFu;
    };
    std::vector<int> next(0x10001, 0);
    for (const int e : order)
      ++next[digit(e) + 1];
    for (std::size_t d = 1; d < next.size(); ++d)
      next[d] += next[d - 1];
    for (const int e : order)
      sorted[next[digit(e)]++] = e;
    order.swap(sorted);
  }
  return order;
}
} // namespace

int runMinimumSpanningTreeAnalysis(KyServiceInputData& input, KyGraph& graph,
                                   KyEngineAnswer& answer) {
  const KyEngineNetwork net(graph);
  const std::vector<int> cost = edgeIntegers(input, graph, key::edgeCost);
  std::vector<int> inTree(static_cast<std::size_t>(net.edgeCount()), 0);
  std::vector<KyEdge*> treeEdges;
  std::int64_t totalCost = 0;
  {
    KyEngineUnionFind sets(net.nodeCount());
    for (const int e : inOrderOfCost(cost))
      if (sets.join(net.source(e), net.target(e))) {
        inTree[e] = 1;
        treeEdges.push_back(net.edge(e));
        totalCost += cost[e];
      }
  }
  if (totalCost < std::numeric_limits<std::int32_t>::min() ||
      totalCost > std::numeric_limits<std::int32_t>::max())
    return ANALYSIS_ERROR_COST_OVERFLOW;

  answer.integer(nullptr, key::noneTotalCost, static_cast<int>(totalCost));
  answer.edgeList(nullptr, key::noneTreeEdgeList, treeEdges);
  // Other edges hold no mark, which reads as 0: a forest has fewer edges
  // than most graphs, and the answer stays that much smaller.
  answer.edgeIntegers(graph, key::edgeTreeEdge, inTree, 0);
  return ANALYSIS_ERROR_NONE;
}
