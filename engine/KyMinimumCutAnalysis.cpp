// Minimum source/sink cut: a maximum flow with the edge costs as
// capacities (LEMON's Preflow), then the nodes the source still reaches in
// the residual network. That side is contained in the source side of every
// minimum cut, so the answer is the one cut nearest the source.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyMinimumCutInputTailor.h>
#include <kyplatform/KyGraph.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineFlatDigraph_p.h"
#include "KyEngineFlowNetwork_p.h"
#include "KyEngineNetwork_p.h"

#include <lemon/preflow.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

namespace key = KyAnalysisKey::minimumCut;
using Graph = KyEngineFlatDigraph;

// The nodes `from` reaches along arcs with room left and against arcs that
// carry flow, marked by position. O(n + m).
template <class Flow>
std::vector<char> residualReach(const Graph& graph, const KyEngineEdgeAmounts& capacity,
                                const Flow& flow, Graph::Node from) {
  std::vector<char> reached(static_cast<std::size_t>(graph.maxNodeId() + 1), 0);
  std::vector<Graph::Node> stack{from};
  reached[Graph::id(from)] = 1;
  const auto visit = [&](Graph::Node node) {
    if (!reached[Graph::id(node)]) {
      reached[Graph::id(node)] = 1;
      stack.push_back(node);
    }
  };
  while (!stack.empty()) {
    const Graph::Node node = stack.back();
    stack.pop_back();
    for (Graph::OutArcIt arc(graph, node); arc != lemon::INVALID; ++arc)
      if (flow.flow(arc) < capacity[arc])
        visit(graph.target(arc));
    for (Graph::InArcIt arc(graph, node); arc != lemon::INVALID; ++arc)
      if (flow.flow(arc) > 0)
        visit(graph.source(arc));
  }
  return reached;
}

} // namespace

int runMinimumCutAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  const KyMinimumCutInputTailor request(&input);
  KyEngineFlowRequest flowRequest;
  // The edge costs are the capacities of the flow whose cut this is.
  if (const int code = readFlowRequest(request.pSourceNode(), request.pSinkNode(), input, graph,
                                       {key::graphSinkNode, key::edgeCost}, flowRequest, answer);
      code != ANALYSIS_ERROR_NONE)
    return code;

  const KyEngineNetwork net(graph);
  const int source = flowRequest.source, sink = flowRequest.sink;
  std::vector<int>& edgeCapacity = flowRequest.amounts.edgeCapacity;

  closeLoops(net, edgeCapacity);
  const Graph digraph(net);
  const KyEngineEdgeAmounts capacity{edgeCapacity.data()};
  lemon::Preflow<Graph, KyEngineEdgeAmounts> preflow(digraph, capacity, Graph::nodeFromId(source),
                                                     Graph::nodeFromId(sink));
  preflow.run();
  if (preflow.flowValue() > std::numeric_limits<std::int32_t>::max())
    return ANALYSIS_ERROR_COST_OVERFLOW;

  const std::vector<char> sourceSide =
      residualReach(digraph, capacity, preflow, Graph::nodeFromId(source));
  std::vector<KyEdge*> cut;
  for (int e = 0; e < net.edgeCount(); ++e)
    if (sourceSide[net.source(e)] && !sourceSide[net.target(e)])
      cut.push_back(net.edge(e));
  answer.integer(nullptr, key::noneTotalCost, static_cast<int>(preflow.flowValue()));
  answer.edgeList(nullptr, key::noneEdgeList, cut);
  return ANALYSIS_ERROR_NONE;
}
