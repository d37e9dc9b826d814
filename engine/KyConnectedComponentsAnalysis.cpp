// Connected components: the analysed graph with direction ignored, split
// by joining the ends of every edge, components numbered from 1 in order
// of their first node.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyplatform/KyGraph.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineComponents_p.h"
#include "KyEngineNetwork_p.h"

int runConnectedComponentsAnalysis(KyServiceInputData&, KyGraph& graph, KyEngineAnswer& answer) {
  namespace key = KyAnalysisKey::connectedComponents;
  const KyEngineNetwork net(graph);
  writeComponents(net, connectedComponents(net), key::nodeComponentNumber, key::noneComponentList,
                  answer);
  return ANALYSIS_ERROR_NONE;
}
