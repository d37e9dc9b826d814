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
#include "KyEngineForwardStar_p.h"
#include "KyEngineLemon_p.h"
#include "KyEngineNetwork_p.h"
#include "KyEngineRequest_p.h"
#include "KyEngineShortestPaths_p.h"
#include "KyEngineStop_p.h"

#include <lemon/bin_heap.h>

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

// Ways numbered as a KyEngineNetwork view numbers them, way e being edge e
// from from[e] to to[e], over arrays: a forward star is made from them
// without reading the graph's links.
struct EdgeWays {
  int nodeCount() const { return nodes; }
  int wayCount() const { return edges; }
  int wayFrom(int way) const { return from[way]; }
  int wayTo(int way) const { return to[way]; }
  static int wayEdge(int way) { return way; }

  int nodes, edges;
  const int* from;
  const int* to;
};

// The ends of every edge by position.
struct EdgeEnds {
  std::vector<int> source, target;
};

// The ends of the edges of `graph`, read once and in order. O(m).
EdgeEnds endsOf(const KyGraph& graph) {
  EdgeEnds ends;
  const auto m = static_cast<std::size_t>(graph.numberOfEdges());
  ends.source.resize(m);
  ends.target.resize(m);
  for (std::size_t e = 0; e < m; ++e) {
    const KyGraph::EdgeLinks& links = graph.edgeLinks(static_cast<int>(e));
    ends.source[e] = links.source;
    ends.target[e] = links.target;
  }
  return ends;
}

// The analysed graph with the request's node and edge costs.
struct Network : KyEngineNetwork {
  Network(const KyServiceInputData& input, const KyGraph& graph)
      : KyEngineNetwork(graph), nodeCost(nodeIntegers(input, graph, key::nodeCost)),
        edgeCost(edgeIntegers(input, graph, key::edgeCost)), ends(endsOf(graph)),
        out(
            ways(), [](int) { return true; }, [this](int e) { return weight(e); }) {}
  // What following edge `e` adds to a walk towards the finish: w(e).
  std::int64_t weight(int e) const { return std::int64_t{edgeCost[e]} + nodeCost[ends.target[e]]; }
  // The edges as ways, followed forwards or backwards.
  EdgeWays ways() const {
    return EdgeWays{nodeCount(), edgeCount(), ends.source.data(), ends.target.data()};
  }
  EdgeWays reversedWays() const {
    return EdgeWays{nodeCount(), edgeCount(), ends.target.data(), ends.source.data()};
  }

  std::vector<int> nodeCost, edgeCost;
  EdgeEnds ends;
  // The edges out of each node side by side, each weighing w(e): the walks
  // below take a node's edges from one run of memory.
  KyEngineForwardStar out;
};

// Least costs d(v) towards the finish, the edge by which each node leaves
// on a cheapest walk and the node that edge leads to (kNone at the finish
// and off the walks).
struct Tree {
  std::vector<std::int64_t> dist;
  std::vector<int> edge, next;
};

// The heap places of LEMON's binary heap by node position.
struct HeapPlaces {
  using Key = int;
  using Value = int;
  int& operator[](int v) { return place[v]; }
  int operator[](int v) const { return place[v]; }
  void set(int v, int value) { place[v] = value; }
  std::vector<int> place;
};

// Dijkstra from the finish over the reversed edges between nodes that
// `onWalks` marks, none of which weighs less than 0: fills `tree` as the
// shared walk search would. The arcs, their order and the heap are those
// of LEMON's Dijkstra on the search's forward star, so the tree is the
// same; the search's copies of the costs and of the network and its
// algorithm's maps are spared. O(m log n).
void dijkstraToFinish(const Network& net, const std::vector<char>& onWalks, int finish,
                      Tree& tree) {
  const KyEngineForwardStar into(
      net.reversedWays(),
      [&](int e) { return onWalks[net.ends.source[e]] && onWalks[net.ends.target[e]]; },
      [&](int e) { return net.weight(e); });
  using Heap = lemon::BinHeap<std::int64_t, HeapPlaces>;
  HeapPlaces places{std::vector<int>(static_cast<std::size_t>(net.nodeCount()), Heap::PRE_HEAP)};
  Heap heap(places);
  heap.push(finish, 0);
  while (!heap.empty()) {
    const int v = heap.top();
    const std::int64_t d = heap.prio();
    heap.pop();
    tree.dist[v] = d;
    for (int arc = into.begin(v); arc < into.end(v); ++arc) {
      const int w = into.slot(arc).target;
      const std::int64_t through = d + into.slotWeight(arc);
      switch (heap.state(w)) {
      case Heap::PRE_HEAP:
        heap.push(w, through);
        break;
      case Heap::IN_HEAP:
        if (through >= heap[w])
          continue;
        heap.decrease(w, through);
        break;
      case Heap::POST_HEAP:
        continue;
      }
      // The search walked the edge backwards.
      tree.edge[w] = into.slot(arc).edge;
      tree.next[w] = v;
    }
  }
}

// Fills `tree` for the nodes that the start reaches and that reach the
// finish, the only ones on walks from one to the other; false when a cycle
// of negative cost lies among them. Without an edge of negative w(e)
// between nodes the start reaches, Dijkstra from the finish over the
// reversed edges finds them; else the shared walk search does, which
// first finds potentials. There each edge is followed out of its target,
// so it weighs cost(e) + cost(target of e) = w(e), and the search's cost of
// v is d(v) - cost(finish). O(m log n), O(n m) with negative costs.
bool cheapestWalksToFinish(const Network& net, int start, int finish, Tree& tree) {
  tree.dist.assign(static_cast<std::size_t>(net.nodeCount()), kEngineUnreached);
  tree.edge.assign(static_cast<std::size_t>(net.nodeCount()), kNone);
  tree.next.assign(static_cast<std::size_t>(net.nodeCount()), kNone);
  std::vector<char> onWalks = reachFrom(net.out, start);
  if (!onWalks[finish])
    return true;
  bool negative = false;
  for (int e = 0; e < net.edgeCount() && !negative; ++e)
    negative = net.weight(e) < 0 && onWalks[net.ends.source[e]] && onWalks[net.ends.target[e]];
  if (!negative) {
    dijkstraToFinish(net, onWalks, finish, tree);
    return true;
  }
  const KyEngineNetwork reversedNet = net.reversed();
  KyEngineWalkSearch search(reversedNet, net.nodeCost, net.edgeCost);
  // The search from the finish meets only nodes that reach it, and every
  // node of a walk of theirs reaches it too: without a negative arc, which
  // could make a cycle elsewhere matter, keeping the nodes the start
  // reaches keeps exactly those on walks.
  const std::vector<char> toFinish = reachFrom(KyEngineDigraph(reversedNet), finish);
  for (std::size_t v = 0; v < onWalks.size(); ++v)
    onWalks[v] = onWalks[v] && toFinish[v];
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
      tree.next[v] = walks.previous[v]; // the search walked the edge backwards
    }
  return true;
}

// Kahn's order of the kept nodes along the edges between them; shorter than
// the number of kept nodes exactly when those edges close a cycle.
std::vector<int> topologicalOrder(const Network& net, const std::vector<char>& keep) {
  const KyEngineForwardStar& out = net.out;
  std::vector<int> inDegree(static_cast<std::size_t>(net.nodeCount()), 0);
  for (int node = 0; node < net.nodeCount(); ++node)
    if (keep[node])
      for (int arc = out.begin(node); arc < out.end(node); ++arc)
        if (keep[out.slot(arc).target])
          ++inDegree[out.slot(arc).target];
  std::vector<int> order;
  for (int node = 0; node < net.nodeCount(); ++node)
    if (keep[node] && inDegree[node] == 0)
      order.push_back(node);
  for (std::size_t i = 0; i < order.size(); ++i)
    out.forOut(order[i], [&](int arc) {
      const int to = out.slot(arc).target;
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
    net.out.forOut(*it, [&](int arc) {
      if (const int to = net.out.slot(arc).target; onWalks[to])
        count = std::min(kInt32Max, count + walks[to]);
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
  // What a walk through the heaps reads of a cell, in 16 bytes: the detour
  // of its sidetrack (never above the detour limit, which fits 31 bits),
  // the node the sidetrack's edge leads to and the cell's children. The
  // edge and the rank lie apart.
  struct Cell {
    std::int32_t detour;
    int target;
    int left;
    int right;
  };

  void beginNode() { firstFresh_ = cells_.size(); }
  int single(std::int64_t detour, int edge, int target) {
    cells_.push_back(Cell{static_cast<std::int32_t>(detour), target, kNone, kNone});
    edges_.push_back(edge);
    ranks_.push_back(1);
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
    links_ += cell.right == kNone;
    cell.right = right;
    if (rank(cell.left) < rank(cell.right))
      std::swap(cell.left, cell.right);
    ranks_[top] = static_cast<std::uint8_t>(rank(cell.right) + 1);
    return top;
  }
  const Cell& cell(int index) const { return cells_[index]; }
  // The number of cells, and of their children all told.
  std::size_t size() const { return cells_.size(); }
  std::size_t links() const { return links_; }
  const int& edge(int index) const { return edges_[index]; }

private:
  // The length of a cell's rightmost path: at most 32 in a heap of fewer
  // than 2^31 cells.
  int rank(int index) const { return index == kNone ? 0 : ranks_[index]; }
  int mutableCell(int index) {
    if (static_cast<std::size_t>(index) >= firstFresh_)
      return index;
    cells_.push_back(cells_[index]);
    links_ += (cells_.back().left != kNone) + (cells_.back().right != kNone);
    edges_.push_back(edges_[index]);
    ranks_.push_back(ranks_[index]);
    return static_cast<int>(cells_.size()) - 1;
  }

  std::vector<Cell> cells_;
  std::vector<int> edges_;
  std::vector<std::uint8_t> ranks_;
  std::size_t firstFresh_ = 0;
  std::size_t links_ = 0;
};

// The nodes on walks to the finish, each after its tree successor, depth
// first: a node's heap is then made soon after the heap it is merged with,
// whose cells are still in the caches, and the cells of one tree path lie
// near each other for the walk through the heaps.
std::vector<int> treeOrder(const Network& net, const Tree& tree, int finish) {
  std::vector<int> successor(static_cast<std::size_t>(net.nodeCount()));
  for (int node = 0; node < net.nodeCount(); ++node)
    successor[node] = tree.next[node] == kNone ? net.nodeCount() : tree.next[node];
  std::vector<int> start;
  std::vector<int> children;
  groupByKey(net.nodeCount() + 1, successor, start, children);
  std::vector<int> order;
  std::vector<int> stack{finish};
  while (!stack.empty()) {
    const int v = stack.back();
    stack.pop_back();
    order.push_back(v);
    for (int c = start[v + 1] - 1; c >= start[v]; --c)
      stack.push_back(children[c]);
  }
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
    net.out.forOut(node, [&](int arc) {
      const auto [to, e] = net.out.slot(arc);
      if (e == tree.edge[node] || tree.dist[to] == kEngineUnreached)
        return;
      const std::int64_t detour = net.out.slotWeight(arc) + tree.dist[to] - tree.dist[node];
      if (detour <= detourLimit)
        own = heaps.merge(own, heaps.single(detour, e, to));
    });
    const int inherited = node == finish ? kNone : root[tree.next[node]];
    root[node] = heaps.merge(own, inherited);
  }
  return root;
}

// The path graph as lists: a node per heap cell that a path from the root
// reaches, in the order a walk from the root meets the cells (the root node
// is 0, node i + 1 has the sidetrack edge sidetrackOfNode[i]), and the heap
// and cross edges in the order the walk takes them, with their costs and
// types.
struct PathGraphShape {
  std::vector<int> sidetrackOfNode;
  std::vector<int> from, to, costs, types;
};

// The shape of the path graph, from the heaps alone. The heaps are far
// larger than the caches and the walk reads them out of order: finding a
// cell, it asks for the memory of the cells it leads to, which it reads
// when it takes the cell from its stack.
PathGraphShape shapeOf(const SidetrackHeaps& heaps, const std::vector<int>& heapRoot, int start) {
  // The detour of each node's heap root beside the root, so that a cross
  // edge reads a small array rather than a cell anywhere in the heaps.
  std::vector<std::int64_t> rootDetour(heapRoot.size(), 0);
  for (std::size_t v = 0; v < heapRoot.size(); ++v)
    if (heapRoot[v] != kNone)
      rootDetour[v] = heaps.cell(heapRoot[v]).detour;
  // Every cell has at most its children and one cross edge, and most cells
  // are reached: room for that many edges spares the lists their growth.
  const std::size_t most = 1 + heaps.links() + heaps.size();
  PathGraphShape shape;
  shape.sidetrackOfNode.reserve(heaps.size());
  for (std::vector<int>* list : {&shape.from, &shape.to, &shape.costs, &shape.types})
    list->reserve(most);

  // The node of each cell, 0 (the root's) for none yet.
  std::vector<int> nodeOfCell(heaps.size(), 0);
  std::vector<int> pending;
  const auto prefetchCell = [&](int cell) {
    if (cell != kNone) {
      __builtin_prefetch(&heaps.cell(cell));
      __builtin_prefetch(&heaps.edge(cell));
      __builtin_prefetch(&nodeOfCell[cell]);
    }
  };
  const auto nodeFor = [&](int cell) {
    if (nodeOfCell[cell] == 0) {
      const SidetrackHeaps::Cell& found = heaps.cell(cell);
      shape.sidetrackOfNode.push_back(heaps.edge(cell));
      nodeOfCell[cell] = static_cast<int>(shape.sidetrackOfNode.size());
      pending.push_back(cell);
      // Its children and its cross edge's end are read when it is taken
      // from the stack, soon.
      prefetchCell(found.left);
      prefetchCell(found.right);
      prefetchCell(heapRoot[found.target]);
    }
    return nodeOfCell[cell];
  };
  const auto link = [&](int fromNode, int cell, int type, std::int64_t cost) {
    shape.from.push_back(fromNode);
    shape.to.push_back(nodeFor(cell));
    shape.costs.push_back(static_cast<int>(cost));
    shape.types.push_back(type);
  };
  if (heapRoot[start] != kNone)
    link(0, heapRoot[start], SORTED_PATHS_EDGE_APPEND, rootDetour[start]);
  for (std::size_t taken = 0; !pending.empty(); ++taken) {
    if (taken % KyEngineAnswer::kStoresPerCheck == 0)
      KyEngineStop::check();
    const int cell = pending.back();
    pending.pop_back();
    const SidetrackHeaps::Cell& here = heaps.cell(cell);
    for (int child : {here.left, here.right})
      if (child != kNone)
        link(nodeOfCell[cell], child, SORTED_PATHS_EDGE_REPLACE,
             heaps.cell(child).detour - here.detour);
    if (const int across = heapRoot[here.target]; across != kNone)
      link(nodeOfCell[cell], across, SORTED_PATHS_EDGE_APPEND, rootDetour[here.target]);
  }
  return shape;
}

// Adds to `pathGraph`, which holds its root node alone, the nodes and edges
// of `shape` with their results, its sidetracks being edges of `graph`.
void writePathGraph(const KyGraph& graph, const PathGraphShape& shape, KyGraph& pathGraph,
                    KyEngineAnswer& answer) {
  // Node i + 1 of the path graph stands for sidetrack i; the root, none.
  std::vector<KyObject*> sidetracks;
  sidetracks.reserve(shape.sidetrackOfNode.size() + 1);
  sidetracks.push_back(nullptr);
  for (const int edge : shape.sidetrackOfNode) {
    pathGraph.addNode();
    sidetracks.push_back(graph.pEdgeAt(edge));
  }
  answer.nodeReferences(pathGraph, key::nodeSidetrackEdge, sidetracks);
  pathGraph.addEdges(shape.from, shape.to);
  // Detours, and so costs, are never negative: -1 marks no edge.
  answer.edgeIntegers(pathGraph, key::edgeCost, shape.costs, -1);
  answer.edgeIntegers(pathGraph, key::edgeType, shape.types, -1);
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
  std::vector<KyObject*> treeEdges(static_cast<std::size_t>(net.nodeCount()), nullptr);
  for (int node = 0; node < net.nodeCount(); ++node)
    if (tree.edge[node] != kNone)
      treeEdges[static_cast<std::size_t>(node)] = net.edge(tree.edge[node]);
  answer.nodeReferences(graph, key::nodeTreeEdge, treeEdges);

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
    // The heaps go before the path graph, far larger, is written.
    PathGraphShape shape;
    {
      SidetrackHeaps heaps;
      const std::vector<int> heapRoot = buildHeaps(net, tree, t, detourLimit, heaps);
      shape = shapeOf(heaps, heapRoot, s);
    }
    writePathGraph(graph, shape, pathGraph, answer);
  }
  return ANALYSIS_ERROR_NONE;
}
