// Strongly connected components: LEMON's stronglyConnectedComponents on the
// analysed graph, every edge directed. Components are numbered from 1 in
// order of their first node; edge component i holds the edges whose two
// ends lie in node component i, in order of making (empty for a lone node
// without a self-loop), so the two lists align.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyGraph.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineComponents_p.h"
#include "KyEngineLemon_p.h"
#include "KyEngineNetwork_p.h"


#include <vector>

int runStronglyConnectedComponentsAnalysis(KyServiceInputData&, KyGraph& graph,
                                           KyEngineAnswer& answer) {
  namespace key = KyAnalysisKey::stronglyConnectedComponents;
  const KyEngineNetwork net = readNetwork(graph);
  const KyEngineDigraph digraph(net);
  const KyEngineComponents components = stronglyConnectedComponents(net, digraph);
  const int count = components.count;
  writeComponents(net, components, key::nodeComponentNumber, key::noneComponentList, answer);

  answer.partitionLists<KyEdgeDList>(
      key::noneEdgeComponentList, count, net.edgeCount(),
      [&](int e) {
        const int c = components.of[net.source(e)];
        return c == components.of[net.target(e)] ? c : -1;
      },
      [&](int e) { return net.edge(e); });
  return ANALYSIS_ERROR_NONE;
}
