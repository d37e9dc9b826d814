// Path-exists test: whether a path leads from the start node to the finish
// node, and one with the fewest edges. When start is finish the empty path
// joins them.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyPathExistsTestInputTailor.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineRequest_p.h"
#include "KyEngineSearch_p.h"
#include "KyEngineShortestPaths_p.h"

#include <vector>

namespace {
namespace key = KyAnalysisKey::pathExistsTest;
} // namespace

int runPathExistsTestAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  const KyPathExistsTestInputTailor request(&input);
  KyNode* start = request.pStartNode();
  KyNode* finish = request.pFinishNode();
  if (const int code = checkEndNodes(start, finish, graph); code != ANALYSIS_ERROR_NONE)
    return code;

  const KyEngineNetwork net = readSearchNetwork(input, graph, request, key::edgeUndirected);
  std::vector<int> path;
  const bool exists = fewestEdgesPath(KyEngineDigraph(net), start->index(), finish->index(), path);
  std::vector<KyEdge*> edges;
  for (int e : path)
    edges.push_back(net.edge(e));
  answer.integer(nullptr, key::nonePathExists, exists ? 1 : 0);
  answer.edgeList(nullptr, key::noneEdgeList, edges);
  return ANALYSIS_ERROR_NONE;
}
