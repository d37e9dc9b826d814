// Depth-first search from the start node, or over the whole graph when the
// request names none (a forest, roots in node order). The edges of a node
// are taken in order of making. Nodes get an order number when first
// reached and a completion number when their last edge is done, both
// counting from 1; every edge the search examines gets its kind.
//
// An edge that may be followed both ways is examined once, from the end
// the search stands on first: the tree edge to a node is not seen again as
// a back edge from it. Such an edge is therefore a tree or a back edge, as
// in an undirected search; only edges followed one way can be forward or
// cross edges. A self-loop is a back edge. The walk keeps its own stack,
// so a path of a million nodes needs no deep call chain.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyDepthFirstSearchInputTailor.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineForwardStar_p.h"
#include "KyEngineNetwork_p.h"
#include "KyEngineSearch_p.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace {

namespace key = KyAnalysisKey::depthFirstSearch;

constexpr int kNoParent = -1;

// Per node position its numbers (0 while unreached or unfinished) and
// parent; per edge position its kind; the nodes in order reached.
struct Forest {
  explicit Forest(const KyEngineNetwork& net)
      : order(static_cast<std::size_t>(net.nodeCount()), 0),
        completion(static_cast<std::size_t>(net.nodeCount()), 0),
        parent(static_cast<std::size_t>(net.nodeCount()), kNoParent),
        edgeType(static_cast<std::size_t>(net.edgeCount()), EDGE_TYPE_NONE) {}

  std::vector<int> order, completion, parent, edgeType;
  std::vector<int> visited;
};

Forest search(const KyEngineNetwork& net, int start) {
  Forest forest(net);
  // The ways out of each node side by side: the walk then reads runs of
  // memory instead of following the graph's links, a cache miss a way.
  const KyEngineForwardStar ways(net, [](int) { return true; });
  // An edge has a way out of each end only when it may be followed both
  // ways; only then may it have been seen from its other end.
  const bool twoWays = net.wayCount() != net.edgeCount();
  // cursor[v]: the next way out of v to examine, below ways.begin(v) when
  // none is left; runs list a node's ways last first.
  std::vector<int> cursor(static_cast<std::size_t>(net.nodeCount()));
  for (int v = 0; v < net.nodeCount(); ++v)
    cursor[v] = ways.end(v) - 1;
  // Nodes on the stack, and finished ones: a byte each, so that the state
  // of a node an edge leads to is read from a small array.
  enum State : char { kUnreached, kOpen, kDone };
  std::vector<char> state(static_cast<std::size_t>(net.nodeCount()), kUnreached);
  std::vector<int> stack;
  int finished = 0;
  const auto reach = [&](int node) {
    forest.visited.push_back(node);
    forest.order[node] = static_cast<int>(forest.visited.size());
    state[node] = kOpen;
    stack.push_back(node);
  };
  forSearchRoots(start, net.nodeCount(), [&](int root) {
    if (state[root] != kUnreached)
      return;
    reach(root);
    while (!stack.empty()) {
      const int node = stack.back();
      const int way = cursor[node];
      if (way < ways.begin(node)) {
        forest.completion[node] = ++finished;
        state[node] = kDone;
        stack.pop_back();
        continue;
      }
      cursor[node] = way - 1;
      const KyEngineForwardStar::Slot& slot = ways.slot(way);
      const int edge = slot.edge;
      if (twoWays && forest.edgeType[edge] != EDGE_TYPE_NONE)
        continue; // seen from its other end already
      const int to = slot.target;
      if (state[to] == kUnreached) {
        forest.edgeType[edge] = EDGE_TYPE_TREE;
        forest.parent[to] = node;
        reach(to);
      } else if (state[to] == kOpen) {
        forest.edgeType[edge] = EDGE_TYPE_BACK;
      } else {
        forest.edgeType[edge] =
            forest.order[node] < forest.order[to] ? EDGE_TYPE_FORWARD : EDGE_TYPE_CROSS;
      }
    }
  });
  return forest;
}

} // namespace

int runDepthFirstSearchAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  const KyDepthFirstSearchInputTailor request(&input);
  int start = kWholeGraph;
  if (const int code = readSearchStart(request.pStartNode(), graph, start);
      code != ANALYSIS_ERROR_NONE)
    return code;
  const KyEngineNetwork net = readSearchNetwork(input, graph, request, key::edgeUndirected);

  const Forest forest = search(net, start);
  // Unvisited nodes have order number 0 and get no results.
  answer.nodeIntegers(graph, key::nodeOrderNumber, forest.order, 0);
  answer.nodeIntegers(graph, key::nodeCompletionNumber, forest.completion, 0);
  // Parents by position, the order of the store's columns.
  for (int v = 0; v < net.nodeCount(); ++v)
    if (forest.parent[v] != kNoParent)
      answer.reference(net.node(v), key::nodeParent, net.node(forest.parent[v]));
  answer.edgeIntegers(graph, key::edgeType, forest.edgeType, EDGE_TYPE_NONE);
  std::vector<KyObject*> visited(forest.visited.size());
  for (std::size_t i = 0; i < visited.size(); ++i)
    visited[i] = net.node(forest.visited[i]);
  answer.list<KyNodeDList>(nullptr, key::noneNodeList, std::move(visited));
  return ANALYSIS_ERROR_NONE;
}
