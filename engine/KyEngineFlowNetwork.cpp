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

int readFlowRequest(const KyNode* source, const KyNode* sink, const KyServiceInputData& input,
                    const KyGraph& graph, const KyEngineFlowKeys& keys,
                    KyEngineFlowRequest& request, KyEngineAnswer& answer) {
  if (const int code = checkEndNodes(source, sink, graph); code != ANALYSIS_ERROR_NONE)
    return code;
  if (source == sink)
    return answer.invalidOption(&graph, keys.sinkNode);
  request.source = source->index();
  request.sink = sink->index();
  KyEngineFlowAmounts& amounts = request.amounts;
  amounts.edgeCapacity = edgeIntegers(input, graph, keys.edgeCapacity);
  if (keys.nodeCapacity != nullptr)
    amounts.nodeCapacity = nodeIntegers(input, graph, keys.nodeCapacity);
  if (keys.edgeCost != nullptr)
    amounts.edgeCost = edgeIntegers(input, graph, keys.edgeCost);
  if (keys.nodeCost != nullptr)
    amounts.nodeCost = nodeIntegers(input, graph, keys.nodeCost);
  if (keys.desiredFlow != nullptr) {
    request.desiredFlow = graphInteger(input, graph, keys.desiredFlow);
    if (request.desiredFlow < 0)
      return answer.invalidOption(&graph, keys.desiredFlow);
  }
  if (const int edge = firstNegative(amounts.edgeCapacity); edge >= 0)
    return answer.invalidOption(graph.pEdgeAt(edge), keys.edgeCapacity);
  if (const int node = firstNegative(amounts.nodeCapacity); node >= 0)
    return answer.invalidOption(graph.pNodeAt(node), keys.nodeCapacity);
  return ANALYSIS_ERROR_NONE;
}
