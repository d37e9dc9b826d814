// Unique-path test: whether exactly one simple path (no node twice) leads
// from the start node to the finish node. Parallel edges make distinct
// paths; when start is finish the empty path is the only one.
//
// Take any simple path P = p0 .. pk. Another simple path Q shares a first
// stretch p0 .. pi with P and then leaves it by an edge that is not P's;
// the first node of P that Q meets next is some pj with j > i, as Q may
// not come back to p0 .. pi. Conversely such a bypass from pi to pj, j > i,
// through nodes off P makes a second simple path. So the search labels
// every node off P with the least i from which it is reached without
// touching P, and looks for an edge to a later node of P. O(n + m).
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyUniquePathTestInputTailor.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineRequest_p.h"
#include "KyEngineSearch_p.h"
#include "KyEngineShortestPaths_p.h"

#include <vector>

namespace {

namespace key = KyAnalysisKey::uniquePathTest;

// Whether a simple path other than `path` (edges from `start`) leads to
// its end.
bool hasBypass(const KyEngineNetwork& net, int start, const std::vector<int>& path) {
  std::vector<int> onPath(static_cast<std::size_t>(net.nodeCount()), -1); // index on the path
  std::vector<int> pathNode{start};
  for (int e : path)
    pathNode.push_back(net.other(e, pathNode.back()));
  for (std::size_t i = 0; i < pathNode.size(); ++i)
    onPath[pathNode[i]] = static_cast<int>(i);

  std::vector<char> labelled(static_cast<std::size_t>(net.nodeCount()), 0);
  std::vector<int> queue;
  for (int i = 0; i < static_cast<int>(pathNode.size()); ++i) {
    const int pathEdge = i < static_cast<int>(path.size()) ? path[i] : -1;
    bool found = false;
    // From p_i, then through the nodes off P it newly reaches.
    const auto step = [&](int from, int e) {
      const int to = net.other(e, from);
      if (onPath[to] >= 0) {
        found = found || (onPath[to] > i && e != pathEdge);
      } else if (!labelled[to]) {
        labelled[to] = 1;
        queue.push_back(to);
      }
    };
    net.forOut(pathNode[i], [&](int e) { step(pathNode[i], e); });
    while (!queue.empty() && !found) {
      const int node = queue.back();
      queue.pop_back();
      net.forOut(node, [&](int e) { step(node, e); });
    }
    if (found)
      return true;
  }
  return false;
}

} // namespace

int runUniquePathTestAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  const KyUniquePathTestInputTailor request(&input);
  KyNode* start = request.pStartNode();
  KyNode* finish = request.pFinishNode();
  if (const int code = checkEndNodes(start, finish, graph); code != ANALYSIS_ERROR_NONE)
    return code;

  const KyEngineNetwork net = readSearchNetwork(input, graph, request, key::edgeUndirected);
  std::vector<int> path;
  const bool unique =
      fewestEdgesPath(KyEngineDigraph(net), start->index(), finish->index(), path) &&
      !hasBypass(net, start->index(), path);
  std::vector<KyEdge*> edges;
  for (int e : unique ? path : std::vector<int>{})
    edges.push_back(net.edge(e));
  answer.integer(nullptr, key::noneUniquePathExists, unique ? 1 : 0);
  answer.edgeList(nullptr, key::noneEdgeList, edges);
  return ANALYSIS_ERROR_NONE;
}
