// Shortest paths: a cheapest walk from the start node to the finish node,
// under the cost convention of KyEngineShortestPaths_p.h (the two ends'
// own costs are not paid).
//
// Without negative weights the search runs from the start until the finish
// is settled. With them, only nodes that the start reaches and that reach
// the finish can lie on such a walk, so the search keeps those alone: a
// cycle of negative cost among them lies on a walk from start to finish,
// and the walks then have no cheapest (code 10); one elsewhere does not
// matter. An undirected edge
// is followed both ways, so going over it and back is a cycle costing twice
// its cost plus both ends' costs.
//
// When start is finish the empty walk costs 0; a walk round a cycle back to
// the start is taken instead only when it costs less.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyPath.h>
#include <kyanalysis/KyShortestPathsInputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineRequest_p.h"
#include "KyEngineSearch_p.h"
#include "KyEngineShortestPaths_p.h"

#include <utility>
#include <vector>

namespace {
namespace key = KyAnalysisKey::shortestPaths;
} // namespace

int runShortestPathsAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  const KyShortestPathsInputTailor request(&input);
  KyNode* start = request.pStartNode();
  KyNode* finish = request.pFinishNode();
  if (const int code = checkEndNodes(start, finish, graph); code != ANALYSIS_ERROR_NONE)
    return code;

  const KyEngineNetwork net = readSearchNetwork(input, graph, request, key::edgeUndirected);
  const KyEngineDigraph digraph(net);
  const int s = start->index();
  const int t = finish->index();
  KyEngineWalkSearch search(net, nodeIntegers(input, graph, key::nodeCost),
                            edgeIntegers(input, graph, key::edgeCost));
  if (search.hasNegativeArc()) {
    std::vector<char> onWalks = reachFrom(digraph, s);
    const std::vector<char> toFinish = reachTo(digraph, t);
    for (std::size_t v = 0; v < onWalks.size(); ++v)
      onWalks[v] = onWalks[v] && toFinish[v];
    search.keepOnly(std::move(onWalks));
  }
  if (!search.prepare())
    return ANALYSIS_ERROR_NEGATIVE_CYCLE;
  KyEngineWalkTree tree;
  search.search(s, kEngineUnreached, tree, t);
  const bool exists = tree.cost[t] != kEngineUnreached;
  std::int64_t cost = exists ? tree.cost[t] : KyPath::infiniteLength;
  std::vector<int> walk = tree.walkTo(t);
  if (s == t && tree.closedCost < 0) {
    walk = tree.walkTo(tree.closedPrevious);
    walk.push_back(tree.closedEdge);
  }
  if (!fitsAnswer(cost))
    return ANALYSIS_ERROR_COST_OVERFLOW;

  std::vector<KyEdge*> edges;
  for (int e : walk)
    edges.push_back(net.edge(e));
  answer.integer(nullptr, key::nonePathExists, exists ? 1 : 0);
  answer.integer(nullptr, key::noneTotalCost, static_cast<int>(cost));
  answer.edgeList(nullptr, key::noneEdgeList, edges);
  return ANALYSIS_ERROR_NONE;
}
