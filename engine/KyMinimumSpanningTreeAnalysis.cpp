// Minimum spanning forest by Kruskal's algorithm (LEMON's kruskal) on the
// graph with its edges taken as undirected. The edges are offered in order
// of cost, equal costs in order of position, so ties go to the edge made
// first and the answer is the same on every run.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyGraph.h>
#include <kyanalysis/KyMinimumSpanningTreeInputTailor.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineLemon_p.h"
#include "KyEngineNetwork_p.h"

#include <lemon/kruskal.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

namespace {
namespace key = KyAnalysisKey::minimumSpanningTree;
using Graph = KyEngineUndirectedGraph::Graph;
} // namespace

int runMinimumSpanningTreeAnalysis(KyServiceInputData& input, KyGraph& graph,
                                   KyEngineAnswer& answer) {
  const KyMinimumSpanningTreeInputTailor request(&input);
  const KyEngineNetwork net = readNetwork(graph);
  const KyEngineUndirectedGraph undirected(net);

  std::vector<std::pair<Graph::Edge, std::int64_t>> byCost;
  byCost.reserve(net.edges.size());
  for (int e = 0; e < net.edgeCount(); ++e)
    byCost.emplace_back(Graph::edgeFromId(e), request.cost(net.edges[e]));
  std::stable_sort(byCost.begin(), byCost.end(),
                   [](const auto& a, const auto& b) { return a.second < b.second; });
  std::vector<Graph::Edge> tree;
  const std::int64_t totalCost = lemon::kruskal(undirected.graph, byCost, std::back_inserter(tree));
  if (totalCost < std::numeric_limits<std::int32_t>::min() ||
      totalCost > std::numeric_limits<std::int32_t>::max())
    return ANALYSIS_ERROR_COST_OVERFLOW;

  std::vector<KyEdge*> treeEdges;
  treeEdges.reserve(tree.size());
  std::vector<char> inTree(net.edges.size(), 0);
  for (const Graph::Edge edge : tree) {
    treeEdges.push_back(net.edges[undirected.edge(edge)]);
    inTree[undirected.edge(edge)] = 1;
  }
  answer.integer(nullptr, key::noneTotalCost, static_cast<int>(totalCost));
  answer.edgeList(nullptr, key::noneTreeEdgeList, treeEdges);
  for (int e = 0; e < net.edgeCount(); ++e)
    answer.integer(net.edges[e], key::edgeTreeEdge, inTree[e]);
  return ANALYSIS_ERROR_NONE;
}
