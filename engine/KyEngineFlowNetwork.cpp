// LEMON's graphs append default-made cells before filling them in, which
// GCC reports as maybe-uninitialized wherever addNode() is inlined.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "KyEngineFlowNetwork_p.h"

#include "KyEngineRequest_p.h"

#include <kyanalysis/KyAnalysisErrorEnum.h>

#include <algorithm>

KyEngineFlowNetwork::KyEngineFlowNetwork(const KyEngineNetwork& net,
                                         const KyEngineFlowAmounts& amounts)
    : capacity(graph), cost(graph) {
  const bool priced = !amounts.edgeCost.empty();
  const auto bounded = [&](int node) {
    return !amounts.nodeCapacity.empty() && amounts.nodeCapacity[node] != kEngineUnboundedCapacity;
  };
  const auto nodeCost = [&](int node) {
    return amounts.nodeCost.empty() ? 0 : amounts.nodeCost[node];
  };
  Amount standIn = 0;
  for (int c : amounts.edgeCapacity)
    standIn += c;

  graph.reserveNode(2 * net.nodeCount());
  graph.reserveArc(net.nodeCount() + net.edgeCount());
  entry_.resize(static_cast<std::size_t>(net.nodeCount()));
  exit_.resize(static_cast<std::size_t>(net.nodeCount()));
  for (int v = 0; v < net.nodeCount(); ++v) {
    entry_[v] = exit_[v] = graph.addNode();
    if (bounded(v) || nodeCost(v) != 0) {
      exit_[v] = graph.addNode();
      const Graph::Arc through = graph.addArc(entry_[v], exit_[v]);
      capacity[through] = bounded(v) ? amounts.nodeCapacity[v] : standIn;
      cost[through] = nodeCost(v);
    }
  }
  edgeArc_.assign(static_cast<std::size_t>(net.edgeCount()), lemon::INVALID);
  for (int e = 0; e < net.edgeCount(); ++e) {
    const int from = net.source(e);
    const int to = net.target(e);
    const Amount edgeCost = priced ? amounts.edgeCost[e] : 0;
    if (from == to && !(priced && edgeCost + nodeCost(from) < 0))
      continue;
    edgeArc_[e] = graph.addArc(exit_[from], entry_[to]);
    capacity[edgeArc_[e]] = amounts.edgeCapacity[e];
    cost[edgeArc_[e]] = edgeCost;
  }
}

void closeLoops(const KyEngineNetwork& net, std::vector<int>& capacity) {
  for (int e = 0; e < net.edgeCount(); ++e)
    if (net.source(e) == net.target(e))
      capacity[static_cast<std::size_t>(e)] = 0;
}

int readSourceAndSink(const KyNode* from, const KyNode* to, const KyGraph& graph,
                      const wchar_t* sinkKey, int& source, int& sink, KyEngineAnswer& answer) {
  if (const int code = checkEndNodes(from, to, graph); code != ANALYSIS_ERROR_NONE)
    return code;
  if (from == to)
    return answer.invalidOption(&graph, sinkKey);
  source = from->index();
  sink = to->index();
  return ANALYSIS_ERROR_NONE;
}
