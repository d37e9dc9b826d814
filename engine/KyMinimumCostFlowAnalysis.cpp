// Minimum-cost flow: the desired amount, or the maximum flow when less can
// pass (LEMON's Preflow, first phase), sent from the source to the sink at
// least cost by the network simplex (LEMON's NetworkSimplex). Nodes with a
// bounded capacity or a cost are split in two, so every cost lies on an arc.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyMinimumCostFlowInputTailor.h>
#include <kyplatform/KyGraph.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineFlowNetwork_p.h"
#include "KyEngineNetwork_p.h"

#include <lemon/network_simplex.h>
#include <lemon/preflow.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

namespace key = KyAnalysisKey::minimumCostFlow;
using Graph = KyEngineFlowNetwork::Graph;
using Amount = KyEngineFlowNetwork::Amount;
// A total cost sums up to n + m products of 32-bit values: 128 bits hold it.
__extension__ using WideAmount = __int128;

} // namespace

int runMinimumCostFlowAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  const KyMinimumCostFlowInputTailor request(&input);
  KyEngineFlowRequest flowRequest;
  if (const int code = readFlowRequest(request.pSourceNode(), request.pSinkNode(), input, graph,
                                       {key::graphSinkNode, key::edgeCapacity, key::nodeCapacity,
                                        key::edgeCost, key::nodeCost, key::graphDesiredFlow},
                                       flowRequest, answer);
      code != ANALYSIS_ERROR_NONE)
    return code;

  const KyEngineNetwork net(graph);
  const int source = flowRequest.source, sink = flowRequest.sink, desired = flowRequest.desiredFlow;
  const KyEngineFlowNetwork flow(net, flowRequest.amounts);
  Amount sent = 0;
  if (desired > 0) {
    lemon::Preflow<Graph, KyEngineFlowNetwork::AmountMap> preflow(
        flow.graph, flow.capacity, flow.entry(source), flow.exit(sink));
    preflow.runMinCut();
    sent = std::min<Amount>(desired, preflow.flowValue());
  }
  // Always optimal: `sent` can pass, and every capacity is finite.
  lemon::NetworkSimplex<Graph, Amount, Amount> simplex(flow.graph);
  simplex.upperMap(flow.capacity)
      .costMap(flow.cost)
      .stSupply(flow.entry(source), flow.exit(sink), sent);
  simplex.run();

  WideAmount totalCost = 0;
  for (Graph::ArcIt arc(flow.graph); arc != lemon::INVALID; ++arc)
    totalCost += WideAmount{simplex.flow(arc)} * flow.cost[arc];
  if (totalCost < std::numeric_limits<std::int32_t>::min() ||
      totalCost > std::numeric_limits<std::int32_t>::max())
    return ANALYSIS_ERROR_COST_OVERFLOW;

  answer.integer(nullptr, key::noneTotalFlow, static_cast<int>(sent));
  answer.integer(nullptr, key::noneTotalCost, static_cast<int>(totalCost));
  writeEdgeFlows(
      net, key::edgeFlow, [&](int e) { return flow.arc(e); },
      [&](Graph::Arc arc) { return simplex.flow(arc); }, answer);
  return ANALYSIS_ERROR_NONE;
}
