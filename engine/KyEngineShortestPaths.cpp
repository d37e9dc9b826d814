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

// The LEMON side: the kept arcs as a filter, and the weights as LEMON's
// read maps.
struct KyEngineWalkSearch::Lemon {
  using Kept = lemon::FilterArcs<const Graph, Graph::ArcMap<bool>>;
  struct Weight {
    using Key = Graph::Arc;
    using Value = std::int64_t;
    Value operator[](const Key& arc) const { return search->weight(arc, reduced); }
    const KyEngineWalkSearch* search;
    bool reduced;
  };

  explicit Lemon(const KyEngineDigraph& digraph)
      : kept(digraph.graph, true), arcs(digraph.graph, kept) {}

  Graph::ArcMap<bool> kept;
  Kept arcs;
};

KyEngineWalkSearch::KyEngineWalkSearch(const KyEngineDigraph& digraph, std::vector<int> nodeCost,
                                       std::vector<int> edgeCost)
    : digraph_(digraph), nodeCost_(std::move(nodeCost)), edgeCost_(std::move(edgeCost)),
      lemon_(std::make_unique<Lemon>(digraph)) {}

KyEngineWalkSearch::~KyEngineWalkSearch() = default;

std::int64_t KyEngineWalkSearch::weight(Graph::Arc arc, bool reduced) const {
  const int from = digraph_.position(digraph_.graph.source(arc));
  const std::int64_t given = std::int64_t{nodeCost_[from]} + edgeCost_[digraph_.edge(arc)];
  return reduced
             ? given + potential_[from] - potential_[digraph_.position(digraph_.graph.target(arc))]
             : given;
}

void KyEngineWalkSearch::keepOnly(const std::vector<char>& keep) {
  Lemon& l = *lemon_;
  for (Graph::ArcIt a(digraph_.graph); a != lemon::INVALID; ++a) {
    l.kept[a] = keep[digraph_.position(digraph_.graph.source(a))] &&
                keep[digraph_.position(digraph_.graph.target(a))];
    filtered_ = filtered_ || !l.kept[a];
  }
}

bool KyEngineWalkSearch::hasNegativeArc() const {
  for (Lemon::Kept::ArcIt a(lemon_->arcs); a != lemon::INVALID; ++a)
    if (weight(a, false) < 0)
      return true;
  return false;
}

bool KyEngineWalkSearch::prepare() {
  if (!hasNegativeArc())
    return true;
  // Bellman-Ford from every node at once: the distances are potentials
  // under which every kept arc weighs at least 0.
  const Lemon::Weight given{this, false};
  lemon::BellmanFord<Lemon::Kept, Lemon::Weight> bellmanFord(lemon_->arcs, given);
  bellmanFord.init(0);
  if (!bellmanFord.checkedStart())
    return false;
  potential_.resize(nodeCost_.size());
  for (int v = 0; v < nodeCount(); ++v)
    potential_[v] = bellmanFord.dist(digraph_.node(v));
  return true;
}

void KyEngineWalkSearch::search(int start, std::int64_t limit, KyEngineWalkTree& tree,
                                int finish) const {
  if (filtered_)
    search(lemon_->arcs, start, limit, tree, finish);
  else
    search(digraph_.graph, start, limit, tree, finish);
}

template <class Arcs>
void KyEngineWalkSearch::search(const Arcs& arcs, int start, std::int64_t limit,
                                KyEngineWalkTree& tree, int finish) const {
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
  const Lemon::Weight weights{this, !potential_.empty()};
  lemon::Dijkstra<Arcs, Lemon::Weight> dijkstra(arcs, weights);
  const Graph::Node source = digraph_.node(start);
  dijkstra.init();
  dijkstra.addSource(source, 0);
  dijkstra.processNextNode();
  const bool toFinish = finish >= 0 && finish != start;
  while (!dijkstra.emptyQueue()) {
    if (toFinish && dijkstra.processed(digraph_.node(finish)))
      break;
    const Graph::Node next = dijkstra.nextNode();
    if (potential_.empty() && costOf(digraph_.position(next), dijkstra.currentDist(next)) > limit)
      break;
    dijkstra.processNextNode();
  }

  for (int v = 0; v < nodeCount(); ++v) {
    const Graph::Node node = digraph_.node(v);
    if (v == start || !dijkstra.processed(node))
      continue;
    const Graph::Arc arc = dijkstra.predArc(node);
    tree.cost[v] = costOf(v, dijkstra.dist(node));
    tree.lastEdge[v] = digraph_.edge(arc);
    tree.previous[v] = digraph_.position(digraph_.graph.source(arc));
  }

  tree.cost[start] = 0;
  if (toFinish)
    return;
  // Walks back to the start: the label of the start as a node walked from
  // is -cost(start), its leaving ways paying cost(start) once more. Of
  // equal walks the one whose last way leaves the greatest node by the
  // greatest edge wins, the way LEMON lists first among a node's incoming
  // arcs when the arcs are made way by way.
  for (typename Arcs::InArcIt a(arcs, source); a != lemon::INVALID; ++a) {
    const int from = digraph_.position(digraph_.graph.source(a));
    if (from != start && tree.cost[from] == kEngineUnreached)
      continue;
    const std::int64_t closed =
        (from == start ? -std::int64_t{nodeCost_[start]} : tree.cost[from]) + weight(a, false);
    const int edge = digraph_.edge(a);
    if (closed < tree.closedCost ||
        (closed == tree.closedCost &&
         (from > tree.closedPrevious || (from == tree.closedPrevious && edge > tree.closedEdge)))) {
      tree.closedCost = closed;
      tree.closedEdge = edge;
      tree.closedPrevious = from;
    }
  }
  tree.cost[start] = std::min<std::int64_t>(0, tree.closedCost);
}
