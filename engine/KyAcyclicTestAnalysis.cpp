// Acyclic test: whether the analysed graph, every edge followed from source
// to target, holds a directed cycle. A self-loop is a cycle.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyplatform/KyGraph.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineLemon_p.h"
#include "KyEngineNetwork_p.h"

#include <lemon/connectivity.h>

int runAcyclicTestAnalysis(KyServiceInputData&, KyGraph& graph, KyEngineAnswer& answer) {
  const KyEngineNetwork net(graph);
  const KyEngineDigraph digraph(net);
  answer.integer(nullptr, KyAnalysisKey::acyclicTest::noneAcyclic,
                 lemon::dag(digraph.graph) ? 1 : 0);
  return ANALYSIS_ERROR_NONE;
}
