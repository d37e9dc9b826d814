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
//
// Most graphs with a path have a second one, and there is a cheap way to
// see it: every simple path other than P misses some edge of P (one that
// takes in all of P's edges is P itself), so a path that avoids P's first
// edge is a second path. The search finds P, and that path, by
// breadth-first search from both ends at once, which on a large graph
// with short paths meets after few nodes; only when no path avoids P's
// first edge does the bypass search above run.
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyUniquePathTestInputTailor.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineNetwork_p.h"
#include "KyEngineRequest_p.h"
#include "KyEngineSearch_p.h"

#include <algorithm>
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

// Finds a simple path from `start` to `finish` (not the same node) that
// avoids the edge `avoided` (-1 for none), into `path` as edges in order;
// false when there is none. Breadth-first from both ends, a level of the
// side with fewer waiting nodes at a time, until a node reached from one
// side is reached from the other: as it is the first node both reach, the
// two halves of its path share no other node. O(n + m).
bool findPath(const KyEngineNetwork& net, int start, int finish, int avoided,
              std::vector<int>& path) {
  constexpr int kUnreached = -2, kEnd = -1;
  // The way by which each side reached a node (kEnd at its own end).
  std::vector<int> forward(static_cast<std::size_t>(net.nodeCount()), kUnreached);
  std::vector<int> backward(forward.size(), kUnreached);
  forward[start] = kEnd;
  backward[finish] = kEnd;
  std::vector<int> forwardLevel{start}, backwardLevel{finish}, next;
  int meeting = -1;
  while (meeting < 0 && !forwardLevel.empty() && !backwardLevel.empty()) {
    const bool ahead = forwardLevel.size() <= backwardLevel.size();
    std::vector<int>& level = ahead ? forwardLevel : backwardLevel;
    std::vector<int>& mine = ahead ? forward : backward;
    const std::vector<int>& theirs = ahead ? backward : forward;
    next.clear();
    const auto reach = [&](int node, int way) {
      if (meeting >= 0 || net.wayEdge(way) == avoided || mine[node] != kUnreached)
        return;
      mine[node] = way;
      next.push_back(node);
      if (theirs[node] != kUnreached)
        meeting = node;
    };
    for (std::size_t i = 0; i < level.size() && meeting < 0; ++i) {
      if (ahead)
        for (int way = net.firstWayOut(level[i]); way >= 0; way = net.nextWayOut(way))
          reach(net.wayTo(way), way);
      else
        for (int way = net.lastWayIn(level[i]); way >= 0; way = net.previousWayIn(way))
          reach(net.wayFrom(way), way);
    }
    level.swap(next);
  }
  if (meeting < 0)
    return false;
  path.clear();
  for (int v = meeting; forward[v] != kEnd; v = net.wayFrom(forward[v]))
    path.push_back(net.wayEdge(forward[v]));
  std::reverse(path.begin(), path.end());
  for (int v = meeting; backward[v] != kEnd; v = net.wayTo(backward[v]))
    path.push_back(net.wayEdge(backward[v]));
  return true;
}

} // namespace

int runUniquePathTestAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  const KyUniquePathTestInputTailor request(&input);
  KyNode* start = request.pStartNode();
  KyNode* finish = request.pFinishNode();
  if (const int code = checkEndNodes(start, finish, graph); code != ANALYSIS_ERROR_NONE)
    return code;

  const KyEngineNetwork net = readSearchNetwork(input, graph, request, key::edgeUndirected);
  const int s = start->index(), t = finish->index();
  // When start is finish the empty path is the only one.
  bool unique = s == t;
  std::vector<int> path, second;
  if (!unique && findPath(net, s, t, -1, path))
    unique = !findPath(net, s, t, path.front(), second) && !hasBypass(net, s, path);
  std::vector<KyEdge*> edges;
  for (int e : unique ? path : std::vector<int>{})
    edges.push_back(net.edge(e));
  answer.integer(nullptr, key::noneUniquePathExists, unique ? 1 : 0);
  answer.edgeList(nullptr, key::noneEdgeList, edges);
  return ANALYSIS_ERROR_NONE;
}
