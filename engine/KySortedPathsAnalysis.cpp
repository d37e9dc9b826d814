// Sorted paths by Eppstein's construction.
//
// A walk from the start s to the finish t pays the cost of every edge it
// follows and the cost of every node it passes through, at each pass; its
// two ends are not passes. With w(e) = cost(e) + cost(target of e), a walk
// costs the sum of w over its edges minus cost(t). The engine computes
// d(v), the least sum of w over the walks from v to t, and the tree edge
// (first edge of such a cheapest walk) of every node that s reaches and that
// reaches t; no other node lies on a walk. Every other edge e = (u, v) is a
// sidetrack with detour w(e) + d(v) - d(u) >= 0, and a walk is determined
// by its sidetracks in order: it costs d(s) - cost(t) plus their detours.
//
// The path graph holds, per node v, a heap H(v) of the sidetracks leaving
// the tree path from v to t, ordered by detour. H(v) merges the sidetracks
// of v into H(successor of v) as a persistent leftist heap, so all heaps
// together have O(m + n log n) cells. Heap edges (type 1, replace) join a
// cell to its children at the difference of their detours; cross edges
// (type 2, append) join a cell for sidetrack (u, v) to the root of H(v) at
// that root's detour; the root node joins the root of H(s) the same way.
// Each path from the root node is one walk, its cost d(s) - cost(t) plus the
// costs of the path's edges: "shortestPathLength" is d(s) and
// "finishNodeCost" is cost(t), and for s = t the empty walk's 0 is d(s).
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineNetwork_p.h"
#include "KyEngineRequest_p.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <queue>
#include <utility>
#include <vector>

namespace {

namespace key = KyAnalysisKey::sortedPaths;

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kUnreached = std::numeric_limits<std::int64_t>::max();
constexpr int kNone = -1;
constexpr int kReplaceEdge = 1;
constexpr int kAppendEdge = 2;
// "shortestPathLength" when the finish cannot be reached, and the most
// "numberOfPaths" says of a finite number.
constexpr int kNoLength = 2147483647;
constexpr int kEndlessWalks = -1;

// The analysed graph with the request's costs: node costs, and per edge
// its cost plus the cost of its target.
struct Network : KyEngineNetwork {
  std::vector<int> nodeCost;
  std::vector<std::int64_t> weight;
};

Network readNetwork(const KyServiceInputData& input, const KyGraph& graph) {
  Network net;
  static_cast<KyEngineNetwork&>(net) = readNetwork(graph);
  net.nodeCost = nodeIntegers(input, net, key::nodeCost);
  const std::vector<int> edgeCost = edgeIntegers(input, net, key::edgeCost);
  net.weight.resize(net.edges.size());
  for (int e = 0; e < net.edgeCount(); ++e)
    net.weight[e] = std::int64_t{edgeCost[e]} + net.nodeCost[net.target[e]];
  return net;
}

std::vector<char> reachableFrom(const Network& net, int start) {
  std::vector<char> reached(net.nodes.size(), 0);
  std::vector<int> stack{start};
  reached[start] = 1;
  while (!stack.empty()) {
    const int node = stack.back();
    stack.pop_back();
    net.forOut(node, [&](int e) {
      if (!reached[net.target[e]]) {
        reached[net.target[e]] = 1;
        stack.push_back(net.target[e]);
      }
    });
  }
  return reached;
}

// Least costs towards the finish and the edge by which each node leaves
// on a cheapest walk (kNone at the finish and where the finish is out of
// reach).
struct Tree {
  std::vector<std::int64_t> dist;
  std::vector<int> edge;
};

// Dijkstra over the reversed edges among the reached nodes; costs are not
// negative there. O(m log m).
void shortestTreeDijkstra(const Network& net, const std::vector<char>& reached, int finish,
                          Tree& tree) {
  using Entry = std::pair<std::int64_t, int>;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
  tree.dist[finish] = 0;
  queue.emplace(0, finish);
  while (!queue.empty()) {
    const auto [dist, node] = queue.top();
    queue.pop();
    if (dist != tree.dist[node])
      continue;
    net.forIn(node, [&](int e) {
      const int from = net.source[e];
      const std::int64_t through = dist + net.weight[e];
      if (reached[from] && through < tree.dist[from]) {
        tree.dist[from] = through;
        tree.edge[from] = e;
        queue.emplace(through, from);
      }
    });
  }
}

// Queue-based label correcting over the reversed edges among the reached
// nodes, for costs of either sign. A node's label is the cost of a walk of
// `hops` edges; once a walk has as many edges as there are reached nodes it
// repeats a node, and as each label only ever improves, the repeated stretch
// is a cycle of negative cost: then it returns false. O(n m).
bool shortestTreeLabelCorrecting(const Network& net, const std::vector<char>& reached, int finish,
                                 Tree& tree) {
  const auto reachedCount = static_cast<int>(std::count(reached.begin(), reached.end(), 1));
  std::vector<int> hops(net.nodes.size(), 0);
  std::vector<char> queued(net.nodes.size(), 0);
  std::queue<int> queue;
  tree.dist[finish] = 0;
  queue.push(finish);
  queued[finish] = 1;
  while (!queue.empty()) {
    const int node = queue.front();
    queue.pop();
    queued[node] = 0;
    bool negativeCycle = false;
    net.forIn(node, [&](int e) {
      const int from = net.source[e];
      const std::int64_t through = tree.dist[node] + net.weight[e];
      if (negativeCycle || !reached[from] || through >= tree.dist[from])
        return;
      tree.dist[from] = through;
      tree.edge[from] = e;
      hops[from] = hops[node] + 1;
      negativeCycle = hops[from] >= reachedCount;
      if (!queued[from]) {
        queued[from] = 1;
        queue.push(from);
      }
    });
    if (negativeCycle)
      return false;
  }
  return true;
}

// Kahn's order of the kept nodes along the edges between them; shorter than
// the number of kept nodes exactly when those edges close a cycle.
std::vector<int> topologicalOrder(const Network& net, const std::vector<char>& keep) {
  std::vector<int> inDegree(net.nodes.size(), 0);
  for (std::size_t e = 0; e < net.edges.size(); ++e)
    if (keep[net.source[e]] && keep[net.target[e]])
      ++inDegree[net.target[e]];
  std::vector<int> order;
  for (int node = 0; node < net.nodeCount(); ++node)
    if (keep[node] && inDegree[node] == 0)
      order.push_back(node);
  for (std::size_t i = 0; i < order.size(); ++i)
    net.forOut(order[i], [&](int e) {
      const int to = net.target[e];
      if (keep[to] && --inDegree[to] == 0)
        order.push_back(to);
    });
  return order;
}

// The number of distinct walks from start to finish through the nodes on
// such walks (`onWalks`): kEndlessWalks when those nodes hold a cycle,
// else the count, saturated at kNoLength.
int countWalks(const Network& net, const std::vector<char>& onWalks, int start, int finish) {
  const std::vector<int> order = topologicalOrder(net, onWalks);
  if (order.size() != static_cast<std::size_t>(std::count(onWalks.begin(), onWalks.end(), 1)))
    return kEndlessWalks;
  std::vector<std::int64_t> walks(net.nodes.size(), 0);
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    std::int64_t count = *it == finish ? 1 : 0;
    net.forOut(*it, [&](int e) {
      if (onWalks[net.target[e]])
        count = std::min(kInt32Max, count + walks[net.target[e]]);
    });
    walks[*it] = count;
  }
  return static_cast<int>(walks[start]);
}

// Leftist heaps of sidetracks ordered by detour, persistent across nodes.
// The heap of a node shares every subtree it leaves untouched with the heap
// it was merged from: a merge copies the cells on its path, O(log n) of
// them, and changes in place only cells made since beginNode().
class SidetrackHeaps {
public:
  struct Cell {
    std::int64_t detour;
    int edge;
    int left;
    int right;
    int rank; // length of the rightmost path
  };

  void beginNode() { firstFresh_ = cells_.size(); }
  int single(std::int64_t detour, int edge) {
    cells_.push_back(Cell{detour, edge, kNone, kNone, 1});
    return static_cast<int>(cells_.size()) - 1;
  }
  int merge(int a, int b) {
    if (a == kNone)
      return b;
    if (b == kNone)
      return a;
    if (cells_[b].detour < cells_[a].detour)
      std::swap(a, b);
    const int top = mutableCell(a);
    const int right = merge(cells_[top].right, b);
    Cell& cell = cells_[top];
    cell.right = right;
    if (rank(cell.left) < rank(cell.right))
      std::swap(cell.left, cell.right);
    cell.rank = rank(cell.right) + 1;
    return top;
  }
  const Cell& cell(int index) const { return cells_[index]; }
  std::size_t size() const { return cells_.size(); }

private:
  int rank(int index) const { return index == kNone ? 0 : cells_[index].rank; }
  int mutableCell(int index) {
    if (static_cast<std::size_t>(index) >= firstFresh_)
      return index;
    cells_.push_back(cells_[index]);
    return static_cast<int>(cells_.size()) - 1;
  }

  std::vector<Cell> cells_;
  std::size_t firstFresh_ = 0;
};

// The nodes on walks to the finish, each after its tree successor.
std::vector<int> treeOrder(const Network& net, const Tree& tree, int finish) {
  std::vector<int> successor(net.nodes.size());
  for (int node = 0; node < net.nodeCount(); ++node)
    successor[node] = tree.edge[node] == kNone ? net.nodeCount() : net.target[tree.edge[node]];
  std::vector<int> start;
  std::vector<int> children;
  groupByKey(net.nodeCount() + 1, successor, start, children);
  std::vector<int> order{finish};
  for (std::size_t i = 0; i < order.size(); ++i)
    for (int c = start[order[i]]; c < start[order[i] + 1]; ++c)
      order.push_back(children[c]);
  return order;
}

// Builds H(v) for every node on walks to the finish; returns the root cell
// of each (kNone for an empty heap). Sidetracks whose detour exceeds
// `detourLimit` are left out.
std::vector<int> buildHeaps(const Network& net, const Tree& tree, int finish,
                            std::int64_t detourLimit, SidetrackHeaps& heaps) {
  std::vector<int> root(net.nodes.size(), kNone);
  for (int node : treeOrder(net, tree, finish)) {
    heaps.beginNode();
    int own = kNone;
    net.forOut(node, [&](int e) {
      const int to = net.target[e];
      if (e == tree.edge[node] || tree.dist[to] == kUnreached)
        return;
      const std::int64_t detour = net.weight[e] + tree.dist[to] - tree.dist[node];
      if (detour <= detourLimit)
        own = heaps.merge(own, heaps.single(detour, e));
    });
    const int inherited = node == finish ? kNone : root[net.target[tree.edge[node]]];
    root[node] = heaps.merge(own, inherited);
  }
  return root;
}

// Adds to `pathGraph`, after its root node, a node per heap cell that a
// path from the root reaches, with its heap and cross edges.
void writePathGraph(const Network& net, const SidetrackHeaps& heaps,
                    const std::vector<int>& heapRoot, int start, KyGraph& pathGraph,
                    KyNode* rootNode, KyEngineAnswer& answer) {
  std::vector<KyNode*> nodeOfCell(heaps.size(), nullptr);
  std::vector<int> pending;
  const auto nodeFor = [&](int cell) {
    if (nodeOfCell[cell] == nullptr) {
      nodeOfCell[cell] = pathGraph.addNode();
      answer.reference(nodeOfCell[cell], key::nodeSidetrackEdge, net.edges[heaps.cell(cell).edge]);
      pending.push_back(cell);
    }
    return nodeOfCell[cell];
  };
  const auto link = [&](KyNode* from, int cell, int type, std::int64_t cost) {
    KyEdge* edge = pathGraph.addEdge(from, nodeFor(cell));
    answer.integer(edge, key::edgeCost, static_cast<int>(cost));
    answer.integer(edge, key::edgeType, type);
  };
  if (heapRoot[start] != kNone)
    link(rootNode, heapRoot[start], kAppendEdge, heaps.cell(heapRoot[start]).detour);
  while (!pending.empty()) {
    const int cell = pending.back();
    pending.pop_back();
    const SidetrackHeaps::Cell& here = heaps.cell(cell);
    for (int child : {here.left, here.right})
      if (child != kNone)
        link(nodeOfCell[cell], child, kReplaceEdge, heaps.cell(child).detour - here.detour);
    const int across = heapRoot[net.target[here.edge]];
    if (across != kNone)
      link(nodeOfCell[cell], across, kAppendEdge, heaps.cell(across).detour);
  }
}

} // namespace

int runSortedPathsAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  KyNode* start = nodeOption(input, graph, key::graphStartNode);
  KyNode* finish = nodeOption(input, graph, key::graphFinishNode);
  if (const int code = checkEndNodes(start, finish, graph); code != ANALYSIS_ERROR_NONE)
    return code;

  const Network net = readNetwork(input, graph);
  const int s = start->index();
  const int t = finish->index();
  const std::vector<char> reached = reachableFrom(net, s);
  Tree tree{std::vector<std::int64_t>(net.nodes.size(), kUnreached),
            std::vector<int>(net.nodes.size(), kNone)};
  if (reached[t]) {
    bool negative = false;
    for (std::size_t e = 0; e < net.edges.size() && !negative; ++e)
      negative = reached[net.source[e]] && net.weight[e] < 0;
    if (!negative)
      shortestTreeDijkstra(net, reached, t, tree);
    else if (!shortestTreeLabelCorrecting(net, reached, t, tree))
      return ANALYSIS_ERROR_NEGATIVE_CYCLE;
  }

  const bool pathExists = tree.dist[s] != kUnreached;
  const std::int64_t shortest = pathExists ? tree.dist[s] : kNoLength;
  const std::int64_t finishCost = net.nodeCost[t];
  const auto fits = [](std::int64_t value) { return value >= kInt32Min && value <= kInt32Max; };
  if (pathExists && !(fits(shortest) && fits(shortest - finishCost)))
    return ANALYSIS_ERROR_COST_OVERFLOW;

  std::vector<char> onWalks(net.nodes.size(), 0);
  for (int node = 0; node < net.nodeCount(); ++node)
    onWalks[node] = tree.dist[node] != kUnreached;

  answer.reference(nullptr, key::noneStartNode, start);
  answer.reference(nullptr, key::noneFinishNode, finish);
  answer.integer(nullptr, key::nonePathExists, pathExists ? 1 : 0);
  answer.integer(nullptr, key::noneShortestPathLength, static_cast<int>(shortest));
  answer.integer(nullptr, key::noneFinishNodeCost, static_cast<int>(finishCost));
  answer.integer(nullptr, key::noneNumberOfPaths, pathExists ? countWalks(net, onWalks, s, t) : 0);
  answer.integer(
      nullptr, key::noneAcyclic,
      topologicalOrder(net, std::vector<char>(net.nodes.size(), 1)).size() == net.nodes.size() ? 1
                                                                                               : 0);
  for (int node = 0; node < net.nodeCount(); ++node)
    if (tree.edge[node] != kNone)
      answer.reference(net.nodes[node], key::nodeTreeEdge, net.edges[tree.edge[node]]);

  auto owned = std::make_unique<KyGraph>();
  KyGraph& pathGraph = *owned;
  answer.handOver(nullptr, key::nonePathGraph, std::move(owned));
  KyNode* rootNode = pathGraph.addNode();
  answer.reference(nullptr, key::noneRootNode, rootNode);
  if (pathExists) {
    // A walk whose single detour takes its length past 32 bits could never
    // be reported: its sidetrack is left out.
    const std::int64_t detourLimit =
        kInt32Max - std::max({std::int64_t{0}, shortest, shortest - finishCost});
    SidetrackHeaps heaps;
    const std::vector<int> heapRoot = buildHeaps(net, tree, t, detourLimit, heaps);
    writePathGraph(net, heaps, heapRoot, s, pathGraph, rootNode, answer);
  }
  return ANALYSIS_ERROR_NONE;
}
