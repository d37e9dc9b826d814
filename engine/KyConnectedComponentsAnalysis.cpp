// Connected components: the analysed graph with direction ignored, split
// by LEMON's connectedComponents, components numbered from 1 in order of
// their first node.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyplatform/KyGraph.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineComponents_p.h"
#include "KyEngineLemon_p.h"
#include "KyEngineNetwork_p.h"

#include <lemon/connectivity.h>

int runConnectedComponentsAnalysis(KyServiceInputData&, KyGraph& graph, KyEngineAnswer& answer) {
  namespace key = KyAnalysisKey::connectedComponents;
  const KyEngineNetwork net = readNetwork(graph);
  const KyEngineUndirectedGraph undirected(net);
  KyEngineUndirectedGraph::Graph::NodeMap<int> number(undirected.graph);
  const int count = lemon::connectedComponents(undirected.graph, number);
  const KyEngineComponents components = componentsInNodeOrder(
      net.nodeCount(), count, [&](int v) { return number[undirected.node(v)]; });
  writeComponents(net, components, key::nodeComponentNumber, key::noneComponentList, answer);
  return ANALYSIS_ERROR_NONE;
}
