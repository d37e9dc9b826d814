// New-cycle test: whether an edge from the source node to the target node,
// added to the analysed graph, would lie on a directed cycle. It would
// exactly when the target reaches the source along edges followed from
// source to target; the empty walk counts, so source = target (a new
// self-loop) answers 1. Edges already joining the two change nothing: the
// answer concerns the added edge, and cycles elsewhere do not count.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyNewCycleTestInputTailor.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineLemon_p.h"
#include "KyEngineNetwork_p.h"
#include "KyEngineRequest_p.h"

#include <lemon/bfs.h>

int runNewCycleTestAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  namespace key = KyAnalysisKey::newCycleTest;
  const KyNewCycleTestInputTailor request(&input);
  KyNode* source = request.pSourceNode();
  KyNode* target = request.pTargetNode();
  if (const int code = checkEndNodes(source, target, graph); code != ANALYSIS_ERROR_NONE)
    return code;

  const KyEngineNetwork net(graph);
  const KyEngineDigraph digraph(net);
  lemon::Bfs<KyEngineDigraph::Graph> search(digraph.graph);
  const bool closes = search.run(digraph.node(target->index()), digraph.node(source->index()));
  answer.integer(nullptr, key::noneWillCreateCycle, closes ? 1 : 0);
  return ANALYSIS_ERROR_NONE;
}
