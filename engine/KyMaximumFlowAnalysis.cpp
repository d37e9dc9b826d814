// Maximum flow by Goldberg's push-relabel (LEMON's Preflow) on the flow
// network of the request, nodes with a bounded capacity split in two.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyMaximumFlowInputTailor.h>
#include <kyplatform/KyGraph.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineFlowNetwork_p.h"
#include "KyEngineNetwork_p.h"

#include <lemon/preflow.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

namespace key = KyAnalysisKey::maximumFlow;

// Runs Preflow on `graph` from `source` to `sink` under `capacity` and
// stores the answer; arcOf(e) is the arc of the edge at position e, or
// INVALID for an edge that carries nothing (a self-loop).
template <class Graph, class Capacity, class ArcOf>
int answerMaximumFlow(const Graph& graph, const Capacity& capacity, typename Graph::Node source,
                      typename Graph::Node sink, const KyEngineNetwork& net, ArcOf arcOf,
                      KyEngineAnswer& answer) {
  lemon::Preflow<Graph, Capacity> preflow(graph, capacity, source, sink);
  preflow.run();
  if (preflow.flowValue() > std::numeric_limits<std::int32_t>::max())
    return ANALYSIS_ERROR_COST_OVERFLOW;
  answer.integer(nullptr, key::noneTotalFlow, static_cast<int>(preflow.flowValue()));
  writeEdgeFlows(
      net, key::edgeFlow, arcOf, [&](typename Graph::Arc arc) { return preflow.flow(arc); },
      answer);
  return ANALYSIS_ERROR_NONE;
}

} // namespace

int runMaximumFlowAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  const KyMaximumFlowInputTailor request(&input);
  KyEngineFlowRequest flowRequest;
  if (const int code = readFlowRequest(request.pSourceNode(), request.pSinkNode(), input, graph,
                                       {key::graphSinkNode, key::edgeCapacity, key::nodeCapacity},
                                       flowRequest, answer);
      code != ANALYSIS_ERROR_NONE)
    return code;

  const KyEngineNetwork net(graph);
  const int source = flowRequest.source, sink = flowRequest.sink;
  KyEngineFlowAmounts& amounts = flowRequest.amounts;

  if (std::all_of(amounts.nodeCapacity.begin(), amounts.nodeCapacity.end(),
                  [](int capacity) { return capacity == kEngineUnboundedCapacity; })) {
    using Graph = KyEngineFlatDigraph;
    closeLoops(net, amounts.edgeCapacity);
    const Graph digraph(net);
    return answerMaximumFlow(
        digraph, KyEngineEdgeAmounts{amounts.edgeCapacity.data()}, Graph::nodeFromId(source),
        Graph::nodeFromId(sink), net, [](int e) { return Graph::arcFromId(e); }, answer);
  }
  const KyEngineFlowNetwork flow(net, amounts);
  return answerMaximumFlow(
      flow.graph, flow.capacity, flow.entry(source), flow.exit(sink), net,
      [&](int e) { return flow.arc(e); }, answer);
}
