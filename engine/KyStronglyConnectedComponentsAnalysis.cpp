// Strongly connected components of the analysed graph, every edge
// directed, by Tarjan's search. Components are numbered from 1 in
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
#include "KyEngineNetwork_p.h"

#include <utility>

int runStronglyConnectedComponentsAnalysis(KyServiceInputData&, KyGraph& graph,
                                           KyEngineAnswer& answer) {
  namespace key = KyAnalysisKey::stronglyConnectedComponents;
  const KyEngineNetwork net(graph);
  KyEngineComponents components = stronglyConnectedComponents(net);
  answer.partitionLists<KyEdgeDList>(
      key::noneEdgeComponentList, components.count, net.edgeCount(),
      [&](int e) {
        const int c = components.of[net.source(e)];
        return c == components.of[net.target(e)] ? c : -1;
      },
      [&](int e) { return net.edge(e); });
  writeComponents(net, std::move(components), key::nodeComponentNumber, key::noneComponentList,
                  answer);
  return ANALYSIS_ERROR_NONE;
}
