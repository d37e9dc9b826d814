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
#include "KyEngineRequest_p.h"

#include <lemon/preflow.h>

#include <cstdint>
#include <limits>

namespace {
namespace key = KyAnalysisKey::maximumFlow;
} // namespace

int runMaximumFlowAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  const KyMaximumFlowInputTailor request(&input);
  int source = 0, sink = 0;
  if (const int code = readSourceAndSink(request.pSourceNode(), request.pSinkNode(), graph,
                                         key::graphSinkNode, source, sink, answer);
      code != ANALYSIS_ERROR_NONE)
    return code;

  const KyEngineNetwork net = readNetwork(graph);
  KyEngineFlowAmounts amounts;
  amounts.edgeCapacity = edgeIntegers(input, graph, key::edgeCapacity);
  amounts.nodeCapacity = nodeIntegers(input, graph, key::nodeCapacity);
  if (const int edge = firstNegative(amounts.edgeCapacity); edge >= 0)
    return answer.invalidOption(graph.pEdgeAt(edge), key::edgeCapacity);
  if (const int node = firstNegative(amounts.nodeCapacity); node >= 0)
    return answer.invalidOption(graph.pNodeAt(node), key::nodeCapacity);

  const KyEngineFlowNetwork flow(net, amounts);
  lemon::Preflow<KyEngineFlowNetwork::Graph, KyEngineFlowNetwork::AmountMap> preflow(
      flow.graph, flow.capacity, flow.entry(source), flow.exit(sink));
  preflow.run();
  if (preflow.flowValue() > std::numeric_limits<std::int32_t>::max())
    return ANALYSIS_ERROR_COST_OVERFLOW;

  answer.integer(nullptr, key::noneTotalFlow, static_cast<int>(preflow.flowValue()));
  const auto flowOf = [&](KyEngineFlowNetwork::Graph::Arc arc) { return preflow.flow(arc); };
  flow.forEdgesWithFlow(flowOf, [&](int e, std::int64_t amount) {
    answer.integer(net.edge(e), key::edgeFlow, static_cast<int>(amount));
  });
  return ANALYSIS_ERROR_NONE;
}
