#include "KyEngineShortestPaths_p.h"

#include <lemon/adaptors.h>
#include <lemon/bellman_ford.h>
#include <lemon/bfs.h>
#include <lemon/dijkstra.h>

#include <algorithm>
#include <cstddef>
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

std::vector<char> reachFrom(const KyEngineForwardStar& star, int node) {
  std::vector<char> marks(static_cast<std::size_t>(lemon::countNodes(star)), 0);
  std::vector<int> queue{node};
  marks[node] = 1;
  for (std::size_t i = 0; i < queue.size(); ++i)
    for (int arc = star.begin(queue[i]); arc < star.end(queue[i]); ++arc)
      if (const int to = star.slot(arc).target; !marks[to]) {
        marks[to] = 1;
        queue.push_back(to);
      }
  return marks;
}

bool fewestEdgesPath(const KyEngineDigraph& digraph, int start, int finish,
                     std::vector<int>& edges) {
  edges.clear();
  if (start == finish)
    return true;
  lemon::Bfs<Graph> bfs(digraph.graph);
  if (!bfs.run(digraph.node(start), digraph.node(finish)))
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

KyEngineWalkSearch::KyEngineWalkSearch(const KyEngineNetwork& net, std::vector<int> nodeCost,
                                       std::vector<int> edgeCost)
    : net_(net), nodeCost_(std::move(nodeCost)), edgeCost_(std::move(edgeCost)) {
  const auto negative = [](const std::vector<int>& costs) {
    return std::any_of(costs.begin(), costs.end(), [](int cost) { return cost < 0; });
  };
  negativeCost_ = negative(nodeCost_) || negative(edgeCost_);
  nodeCosts_ = std::any_of(nodeCost_.begin(), nodeCost_.end(), [](int cost) { return cost != 0; });
}

KyEngineWalkSearch::~KyEngineWalkSearch() = default;

void KyEngineWalkSearch::keepOnly(std::vector<char> keep) { keep_ = std::move(keep); }

bool KyEngineWalkSearch::hasNegativeArc() const {
  if (!negativeCost_)
    return false;
  for (int way = 0; way < net_.wayCount(); ++way)
    if (kept(way) && weight(way) < 0)
      return true;
  return false;
}

bool KyEngineWalkSearch::prepare() {
  const auto keptWay = [this](int way) { return kept(way); };
  const auto given = [this](int way) { return weight(way); };
  if (hasNegativeArc()) {
    // Bellman-Ford from every node at once: the distances are potentials
    // under which every kept way weighs at least 0.
    const KyEngineForwardStar ways(net_, keptWay, given);
    const KyEngineForwardStar::WeightMap weights{&ways};
    lemon::BellmanFord<KyEngineForwardStar, KyEngineForwardStar::WeightMap> bellmanFord(ways,
                                                                                        weights);
    bellmanFord.init(0);
    if (!bellmanFord.checkedStart())
      return false;
    potential_.resize(nodeCost_.size());
    for (int v = 0; v < nodeCount(); ++v)
      potential_[v] = bellmanFord.dist(KyEngineForwardStar::nodeFromId(v));
    star_ = std::make_unique<KyEngineForwardStar>(net_, keptWay, [this](int way) {
      return weight(way) + potential_[net_.wayFrom(way)] - potential_[net_.wayTo(way)];
    });
  } else {
    star_ = std::make_unique<KyEngineForwardStar>(net_, keptWay, given);
  }
  return true;
}

void KyEngineWalkSearch::search(int start, std::int64_t limit, KyEngineWalkTree& tree,
                                int finish) const {
  using Star = KyEngineForwardStar;
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
  const Star& star = *star_;
  const Star::WeightMap weights{&star};
  lemon::Dijkstra<Star, Star::WeightMap> dijkstra(star, weights);
  dijkstra.init();
  dijkstra.addSource(Star::nodeFromId(start), 0);
  dijkstra.processNextNode();
  const bool toFinish = finish >= 0 && finish != start;
  while (!dijkstra.emptyQueue()) {
    if (toFinish && dijkstra.processed(Star::nodeFromId(finish)))
      break;
    const Star::Node next = dijkstra.nextNode();
    if (potential_.empty() && costOf(Star::id(next), dijkstra.currentDist(next)) > limit)
      break;
    dijkstra.processNextNode();
  }

  const auto fill = [&](int v) {
    const Star::Node node = Star::nodeFromId(v);
    const Star::Arc arc = dijkstra.predArc(node);
    tree.cost[v] = costOf(v, dijkstra.dist(node));
    tree.lastEdge[v] = star.edge(arc);
    tree.previous[v] = Star::id(star.source(arc));
  };
  if (toFinish) {
    for (int v = finish; v != start && dijkstra.processed(Star::nodeFromId(v));
         v = tree.previous[v])
      fill(v);
  } else {
    for (int v = 0; v < nodeCount(); ++v)
      if (v != start && dijkstra.processed(Star::nodeFromId(v)))
        fill(v);
  }
  tree.cost[start] = 0;
  if (toFinish)
    return;
  // Walks back to the start: the label of the start as a node walked from
  // is -cost(start), its leaving ways paying cost(start) once more. Of
  // equal walks the one whose last way leaves the greatest node by the
  // greatest edge wins, whatever order the ways come in.
  for (int way = net_.lastWayIn(start); way >= 0; way = net_.previousWayIn(way)) {
    const int from = net_.wayFrom(way);
    if (!kept(way) || (from != start && tree.cost[from] == kEngineUnreached))
      continue;
    const std::int64_t closed =
        (from == start ? -std::int64_t{nodeCost_[start]} : tree.cost[from]) + weight(way);
    const int edge = net_.wayEdge(way);
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

std::vector<int> KyEngineWalkSearch::nodesWithin(int start, std::int64_t limit) const {
  using Star = KyEngineForwardStar;
  std::vector<int> nodes;
  if (negativeCost_) {
    KyEngineWalkTree tree;
    search(start, limit, tree);
    for (int v = 0; v < nodeCount(); ++v)
      if (tree.cost[v] <= limit)
        nodes.push_back(v);
    std::sort(nodes.begin(), nodes.end(), [&](int a, int b) {
      return tree.cost[a] != tree.cost[b] ? tree.cost[a] < tree.cost[b] : a < b;
    });
    return nodes;
  }
  // Without negative costs Dijkstra settles the nodes in order of cost, the
  // start first at 0 (a walk back to it cannot cost less, and every other
  // walk costs at least 0): only nodes of equal cost need sorting.
  if (limit < 0)
    return nodes;
  std::vector<std::int64_t> costs;
  const Star::WeightMap weights{star_.get()};
  lemon::Dijkstra<Star, Star::WeightMap> dijkstra(*star_, weights);
  dijkstra.init();
  dijkstra.addSource(Star::nodeFromId(start), 0);
  while (!dijkstra.emptyQueue()) {
    const Star::Node next = dijkstra.nextNode();
    const int v = Star::id(next);
    const std::int64_t cost = v == start ? 0 : dijkstra.currentDist(next) - nodeCost_[start];
    if (cost > limit)
      break;
    dijkstra.processNextNode();
    nodes.push_back(v);
    costs.push_back(cost);
  }
  for (std::size_t first = 0, end = 0; first < nodes.size(); first = end) {
    while (end < nodes.size() && costs[end] == costs[first])
      ++end;
    std::sort(nodes.begin() + static_cast<std::ptrdiff_t>(first),
              nodes.begin() + static_cast<std::ptrdiff_t>(end));
  }
  return nodes;
}
