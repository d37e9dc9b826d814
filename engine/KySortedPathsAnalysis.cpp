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
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KySortedPathsInputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include "KyEngineAnalyses_p.h"
#include "KyEngineAnswer_p.h"
#include "KyEngineLemon_p.h"
#include "KyEngineNetwork_p.h"
#include "KyEngineRequest_p.h"
#include "KyEngineShortestPaths_p.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace {

namespace key = KyAnalysisKey::sortedPaths;

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr int kNone = -1;
// "shortestPathLength" when the finish cannot be reached, and the most
// "numberOfPaths" says of a finite number.
constexpr int kNoLength = 2147483647;
constexpr int kEndlessWalks = -1;

// The analysed graph with the request's node and edge costs.
struct Network : KyEngineNetwork {
  Network(const KyServiceInputData& input, const KyGraph& graph)
      : KyEngineNetwork(graph), nodeCost(nodeIntegers(input, graph, key::nodeCost)),
        edgeCost(edgeIntegers(input, graph, key::edgeCost)) {}
  // What following edge `e` adds to a walk towards the finish: w(e).
  std::int64_t weight(int e) const { return std::int64_t{edgeCost[e]} + nodeCost[target(e)]; }

  std::vector<int> nodeCost, edgeCost;
};

// Least costs d(v) towards the finish and the edge by which each node
// leaves on a cheapest walk (kNone at the finish and off the walks).
struct Tree {
  std::vector<std::int64_t> dist;
  std::vector<int> edge;
};

// Fills `tree` for the nodes that the start reaches and that reach the
// finish, the only ones on walks from one to the other; false when a cycle
// of negative cost lies among them. The shared walk search runs from the
// finish over the reversed edges: there each edge is followed out of its
// target, so it weighs cost(e) + cost(target of e) = w(e), and the search's
// cost of v is d(v) - cost(finish). O(m log n), O(n m) with negative costs.
bool cheapestWalksToFinish(const Network& net, int start, int finish, Tree& tree) {
  tree.dist.assign(static_cast<std::size_t>(net.nodeCount()), kEngineUnreached);
  tree.edge.assign(static_cast<std::size_t>(net.nodeCount()), kNone);
  const KyEngineNetwork reversedNet = net.reversed();
  const KyEngineDigraph reversed(reversedNet);
  std::vector<char> onWalks = reachTo(reversed, start);
  const std::vector<char> toFinish = reachFrom(reversed, finish);
  for (std::size_t v = 0; v < onWalks.size(); ++v)
    onWalks[v] = onWalks[v] && toFinish[v];
  if (!onWalks[finish])
    return true;
  KyEngineWalkSearch search(reversedNet, net.nodeCost, net.edgeCost);
  search.keepOnly(std::move(onWalks));
  if (!search.prepare())
    return false;
  KyEngineWalkTree walks;
  search.search(finish, kEngineUnreached, walks);
  tree.dist[finish] = 0;
  for (int v = 0; v < net.nodeCount(); ++v)
    if (v != finish && walks.cost[v] != kEngineUnreached) {
      tree.dist[v] = walks.cost[v] + net.nodeCost[finish];
      tree.edge[v] = walks.lastEdge[v];
    }
  return true;
}

// Kahn's order of the kept nodes along the edges between them; shorter than
// the number of kept nodes exactly when those edges close a cycle.
std::vector<int> topologicalOrder(const Network& net, const std::vector<char>& keep) {
  std::vector<int> inDegree(static_cast<std::size_t>(net.nodeCount()), 0);
  for (std::size_t e = 0; e < static_cast<std::size_t>(net.edgeCount()); ++e)
    if (keep[net.source(e)] && keep[net.target(e)])
      ++inDegree[net.target(e)];
  std::vector<int> order;
  for (int node = 0; node < net.nodeCount(); ++node)
    if (keep[node] && inDegree[node] == 0)
      order.push_back(node);
  for (std::size_t i = 0; i < order.size(); ++i)
    net.forOut(order[i], [&](int e) {
      const int to = net.target(e);
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
  std::vector<std::int64_t> walks(static_cast<std::size_t>(net.nodeCount()), 0);
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    std::int64_t count = *it == finish ? 1 : 0;
    net.forOut(*it, [&](int e) {
      if (onWalks[net.target(e)])
        count = std::min(kInt32Max, count + walks[net.target(e)]);
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
  std::vector<int> successor(static_cast<std::size_t>(net.nodeCount()));
  for (int node = 0; node < net.nodeCount(); ++node)
    successor[node] = tree.edge[node] == kNone ? net.nodeCount() : net.target(tree.edge[node]);
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
  std::vector<int> root(static_cast<std::size_t>(net.nodeCount()), kNone);
  for (int node : treeOrder(net, tree, finish)) {
    heaps.beginNode();
    int own = kNone;
    net.forOut(node, [&](int e) {
      const int to = net.target(e);
      if (e == tree.edge[node] || tree.dist[to] == kEngineUnreached)
        return;
      const std::int64_t detour = net.weight(e) + tree.dist[to] - tree.dist[node];
      if (detour <= detourLimit)
        own = heaps.merge(own, heaps.single(detour, e));
    });
    const int inherited = node == finish ? kNone : root[net.target(tree.edge[node])];
    root[node] = heaps.merge(own, inherited);
  }
  return root;
}

// Adds to `pathGraph`, which holds its root node alone, a node per heap
// cell that a path from the root reaches, with its heap and cross edges.
void writePathGraph(const Network& net, const SidetrackHeaps& heaps,
                    const std::vector<int>& heapRoot, int start, KyGraph& pathGraph,
                    KyNode* rootNode, KyEngineAnswer& answer) {
  std::vector<KyNode*> nodeOfCell(heaps.size(), nullptr);
  std::vector<int> pending;
  const auto nodeFor = [&](int cell) {
    if (nodeOfCell[cell] == nullptr) {
      nodeOfCell[cell] = pathGraph.addNode();
      answer.reference(nodeOfCell[cell], key::nodeSidetrackEdge, net.edge(heaps.cell(cell).edge));
      pending.push_back(cell);
    }
    return nodeOfCell[cell];
  };
  // Edge results by position, stored once the edges are made.
  std::vector<int> costs, types;
  const auto link = [&](KyNode* from, int cell, int type, std::int64_t cost) {
    pathGraph.addEdge(from, nodeFor(cell));
    costs.push_back(static_cast<int>(cost));
    types.push_back(type);
  };
  if (heapRoot[start] != kNone)
    link(rootNode, heapRoot[start], SORTED_PATHS_EDGE_APPEND, heaps.cell(heapRoot[start]).detour);
  while (!pending.empty()) {
    const int cell = pending.back();
    pending.pop_back();
    const SidetrackHeaps::Cell& here = heaps.cell(cell);
    for (int child : {here.left, here.right})
      if (child != kNone)
        link(nodeOfCell[cell], child, SORTED_PATHS_EDGE_REPLACE,
             heaps.cell(child).detour - here.detour);
    const int across = heapRoot[net.target(here.edge)];
    if (across != kNone)
      link(nodeOfCell[cell], across, SORTED_PATHS_EDGE_APPEND, heaps.cell(across).detour);
  }
  // Detours, and so costs, are never negative: -1 marks no edge.
  answer.edgeIntegers(pathGraph, key::edgeCost, costs, -1);
  answer.edgeIntegers(pathGraph, key::edgeType, types, -1);
}

} // namespace

int runSortedPathsAnalysis(KyServiceInputData& input, KyGraph& graph, KyEngineAnswer& answer) {
  const KySortedPathsInputTailor request(&input);
  KyNode* start = request.pStartNode();
  KyNode* finish = request.pFinishNode();
  if (const int code = checkEndNodes(start, finish, graph); code != ANALYSIS_ERROR_NONE)
    return code;

  const Network net(input, graph);
  const int s = start->index();
  const int t = finish->index();
  Tree tree;
  if (!cheapestWalksToFinish(net, s, t, tree))
    return ANALYSIS_ERROR_NEGATIVE_CYCLE;

  const bool pathExists = tree.dist[s] != kEngineUnreached;
  const std::int64_t shortest = pathExists ? tree.dist[s] : kNoLength;
  const std::int64_t finishCost = net.nodeCost[t];
  if (pathExists && !(fitsAnswer(shortest) && fitsAnswer(shortest - finishCost)))
    return ANALYSIS_ERROR_COST_OVERFLOW;

  std::vector<char> onWalks(static_cast<std::size_t>(net.nodeCount()), 0);
  for (int node = 0; node < net.nodeCount(); ++node)
    onWalks[node] = tree.dist[node] != kEngineUnreached;

  answer.reference(nullptr, key::noneStartNode, start);
  answer.reference(nullptr, key::noneFinishNode, finish);
  answer.integer(nullptr, key::nonePathExists, pathExists ? 1 : 0);
  answer.integer(nullptr, key::noneShortestPathLength, static_cast<int>(shortest));
  answer.integer(nullptr, key::noneFinishNodeCost, static_cast<int>(finishCost));
  answer.integer(nullptr, key::noneNumberOfPaths, pathExists ? countWalks(net, onWalks, s, t) : 0);
  answer.integer(
      nullptr, key::noneAcyclic,
      topologicalOrder(net, std::vector<char>(static_cast<std::size_t>(net.nodeCount()), 1))
                  .size() == static_cast<std::size_t>(net.nodeCount())
          ? 1
          : 0);
  for (int node = 0; node < net.nodeCount(); ++node)
    if (tree.edge[node] != kNone)
      answer.reference(net.node(node), key::nodeTreeEdge, net.edge(tree.edge[node]));

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
