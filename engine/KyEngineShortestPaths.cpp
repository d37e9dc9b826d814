#include "KyEngineShortestPaths_p.h"

#include <lemon/adaptors.h>
#include <lemon/bellman_ford.h>
#include <lemon/bfs.h>
#include <lemon/dijkstra.h>

#include <algorithm>
#include <utility>

namespace {

using Graph = KyEngineDigraph::Graph;

template <class Digraph>
std::vector<char> reached(const KyEngineDigraph& digraph, const Digraph& walked, int node) {
  lemon::Bfs<Digraph> bfs(walked);
  bfs.run(digraph.node(node));
  std::vector<char> marks(static_cast<std::size_t>(lemon::countNodes(digraph.graph)), 0);
  for (Graph::NodeIt v(digraph.graph); v != lemon::INVALID; ++v)
    marks[digraph.position(v)] = bfs.reached(v) ? 1 : 0;
  return marks;
}

} // namespace

std::vector<char> reachFrom(const KyEngineDigraph& digraph, int node) {
  return reached(digraph, digraph.graph, node);
}

std::vector<char> reachTo(const KyEngineDigraph& digraph, int node) {
  return reached(digraph, lemon::reverseDigraph(digraph.graph), node);
}

bool fewestEdgesPath(const KyEngineDigraph& digraph, int start, int finish,
                     std::vector<int>& edges) {
  edges.clear();
  lemon::Bfs<Graph> bfs(digraph.graph);
  if (!bfs.run(digraph.node(start), digraph.node(finish)) && start != finish)
    return false;
  for (Graph::Node v = digraph.node(finish); v != digraph.node(start);) {
    const Graph::Arc arc = bfs.predArc(v);
    edges.push_back(digraph.edge(arc));
    v = digraph.graph.source(arc);
  }
  std::reverse(edges.begin(), edges.end());
  return true;
}

std::vector<int> KyEngineWalkTree::walkTo(int node) const {
  std::vector<int> edges;
  for (int v = node; lastEdge[v] >= 0; v = previous[v])
    edges.push_back(lastEdge[v]);
  std::reverse(edges.begin(), edges.end());
  return edges;
}

// The LEMON side: the digraph, the kept arcs as a filter, and the weight of
// every arc as given and, once there are potentials, reduced by them.
struct KyEngineWalkSearch::Lemon {
  using Kept = lemon::FilterArcs<const Graph, Graph::ArcMap<bool>>;

  explicit Lemon(const KyEngineDigraph& digraph)
      : digraph(digraph), kept(digraph.graph, true), arcs(digraph.graph, kept),
        weight(digraph.graph) {}

  const KyEngineDigraph& digraph;
  Graph::ArcMap<bool> kept;
  Kept arcs;
  Graph::ArcMap<std::int64_t> weight;
  std::unique_ptr<Graph::ArcMap<std::int64_t>> reduced; // null without potentials
};

KyEngineWalkSearch::KyEngineWalkSearch(const KyEngineDigraph& digraph, std::vector<int> nodeCost,
                                       const std::vector<int>& edgeCost)
    : nodeCost_(std::move(nodeCost)), lemon_(std::make_unique<Lemon>(digraph)) {
  Lemon& l = *lemon_;
  for (Graph::ArcIt a(l.digraph.graph); a != lemon::INVALID; ++a)
    l.weight[a] = std::int64_t{nodeCost_[l.digraph.position(l.digraph.graph.source(a))]} +
                  edgeCost[l.digraph.edge(a)];
}

KyEngineWalkSearch::~KyEngineWalkSearch() = default;

void KyEngineWalkSearch::keepOnly(const std::vector<char>& keep) {
  Lemon& l = *lemon_;
  for (Graph::ArcIt a(l.digraph.graph); a != lemon::INVALID; ++a)
    l.kept[a] = keep[l.digraph.position(l.digraph.graph.source(a))] &&
                keep[l.digraph.position(l.digraph.graph.target(a))];
}

bool KyEngineWalkSearch::hasNegativeArc() const {
  const Lemon& l = *lemon_;
  for (Lemon::Kept::ArcIt a(l.arcs); a != lemon::INVALID; ++a)
    if (l.weight[a] < 0)
      return true;
  return false;
}

bool KyEngineWalkSearch::prepare() {
  if (!hasNegativeArc())
    return true;
  Lemon& l = *lemon_;
  // Bellman-Ford from every node at once: the distances are potentials
  // under which every kept arc weighs at least 0.
  lemon::BellmanFord<Lemon::Kept, Graph::ArcMap<std::int64_t>> bellmanFord(l.arcs, l.weight);
  bellmanFord.init(0);
  if (!bellmanFord.checkedStart())
    return false;
  potential_.resize(nodeCost_.size());
  for (int v = 0; v < nodeCount(); ++v)
    potential_[v] = bellmanFord.dist(l.digraph.node(v));
  l.reduced = std::make_unique<Graph::ArcMap<std::int64_t>>(l.digraph.graph);
  for (Lemon::Kept::ArcIt a(l.arcs); a != lemon::INVALID; ++a)
    (*l.reduced)[a] = l.weight[a] + potential_[l.digraph.position(l.digraph.graph.source(a))] -
                   potential_[l.digraph.position(l.digraph.graph.target(a))];
  return true;
}

void KyEngineWalkSearch::search(int start, std::int64_t limit, KyEngineWalkTree& tree,
                                int finish) const {
  const Lemon& l = *lemon_;
  const std::size_t n = nodeCost_.size();
  tree.cost.assign(n, kEngineUnreached);
  tree.lastEdge.assign(n, -1);
  tree.previous.assign(n, -1);
  tree.closedCost = kEngineUnreached;
  tree.closedEdge = tree.closedPrevious = -1;

  // The search's distance d(v) is the walk cost plus cost(start), less the
  // potential of the start, plus that of v.
  const auto potential = [&](int v) { return potential_.empty() ? 0 : potential_[v]; };
  const auto costOf = [&](int v, std::int64_t distance) {
    return distance - nodeCost_[start] + potential(v) - potential(start);
  };
  lemon::Dijkstra<Lemon::Kept, Graph::ArcMap<std::int64_t>> dijkstra(
      l.arcs, l.reduced != nullptr ? *l.reduced : l.weight);
  const Graph::Node source = l.digraph.node(start);
  dijkstra.init();
  dijkstra.addSource(source, 0);
  dijkstra.processNextNode();
  const bool toFinish = finish >= 0 && finish != start;
  while (!dijkstra.emptyQueue()) {
    if (toFinish && dijkstra.processed(l.digraph.node(finish)))
      break;
    const Graph::Node next = dijkstra.nextNode();
    if (potential_.empty() && costOf(l.digraph.position(next), dijkstra.currentDist(next)) > limit)
      break;
    dijkstra.processNextNode();
  }

  for (int v = 0; v < nodeCount(); ++v) {
    const Graph::Node node = l.digraph.node(v);
    if (v == start || !dijkstra.processed(node))
      continue;
    const Graph::Arc arc = dijkstra.predArc(node);
    tree.cost[v] = costOf(v, dijkstra.dist(node));
    tree.lastEdge[v] = l.digraph.edge(arc);
    tree.previous[v] = l.digraph.position(l.digraph.graph.source(arc));
  }

  tree.cost[start] = 0;
  if (toFinish)
    return;
  // Walks back to the start: the label of the start as a node walked from
  // is -cost(start), its leaving ways paying cost(start) once more.
  for (Lemon::Kept::InArcIt a(l.arcs, source); a != lemon::INVALID; ++a) {
    const int from = l.digraph.position(l.digraph.graph.source(a));
    if (from != start && tree.cost[from] == kEngineUnreached)
      continue;
    const std::int64_t closed =
        (from == start ? -std::int64_t{nodeCost_[start]} : tree.cost[from]) + l.weight[a];
    if (closed < tree.closedCost) {
      tree.closedCost = closed;
      tree.closedEdge = l.digraph.edge(a);
      tree.closedPrevious = from;
    }
  }
  tree.cost[start] = std::min<std::int64_t>(0, tree.closedCost);
}
