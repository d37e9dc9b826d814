// Searches shared by the engine's path analyses: reach along the edges, and
// cheapest walks under node and edge costs. Internal to the engine; not
// installed.
//
// Cost convention: a walk pays the cost of every edge it follows and the
// cost of every node it passes through, at each pass; its two ends are not
// passes (as for sorted paths). The searches weigh each way an edge may be
// followed by cost(edge) + cost(node it leaves) and start from the start
// node at -cost(start), so the label of every other node is exactly the
// cost of its cheapest walk, and a cycle weighs what a walk pays for
// going round it once.
#pragma once

#include "KyEngineForwardStar_p.h"
#include "KyEngineLemon_p.h"
#include "KyEngineNetwork_p.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

/// The cost of a walk that no search found.
inline constexpr std::int64_t kEngineUnreached = std::numeric_limits<std::int64_t>::max();

/// Whether a cost fits the 32-bit integer an answer holds.
inline bool fitsAnswer(std::int64_t cost) {
  return cost >= std::numeric_limits<std::int32_t>::min() &&
         cost <= std::numeric_limits<std::int32_t>::max();
}

/// For every node, whether a walk joins `node` to it (forward) or it to
/// `node` (backward) along the ways the digraph's arcs allow; `node` itself
/// is marked. Breadth-first, O(n + m).
std::vector<char> reachFrom(const KyEngineDigraph& digraph, int node);
std::vector<char> reachTo(const KyEngineDigraph& digraph, int node);
/// reachFrom() along the arcs of a forward star, which it reads run by
/// run. O(n + m).
std::vector<char> reachFrom(const KyEngineForwardStar& star, int node);

/// The edges of a walk from `start` to `finish` with the fewest edges, in
/// order; empty when start is finish; false when there is none.
/// Breadth-first, O(n + m).
bool fewestEdgesPath(const KyEngineDigraph& digraph, int start, int finish,
                     std::vector<int>& edges);

/// Cheapest walks from one start node, by node position.
struct KyEngineWalkTree {
  /// Cost of a cheapest walk from the start, kEngineUnreached where no
  /// walk was found. At the start: the empty walk's 0, or closedCost when
  /// that is less.
  std::vector<std::int64_t> cost;
  /// The last edge of that walk and the node from which it follows it; -1
  /// at the start and where unreached.
  std::vector<int> lastEdge, previous;
  /// The cheapest walk of at least one edge from the start back to it: its
  /// cost (kEngineUnreached when none), last edge and the node that edge
  /// is followed from. It may cost less than the empty walk when the start
  /// node's own cost is high.
  std::int64_t closedCost = kEngineUnreached;
  int closedEdge = -1, closedPrevious = -1;

  /// The edges of the cheapest walk to `node` (found), start to end.
  std::vector<int> walkTo(int node) const;
};

/// Cheapest-walk searches on a network under given costs, among the kept
/// nodes (ways with an end that is not kept are left out; every node is
/// kept until keepOnly()). Costs are added in 64 bits. Searches run LEMON's
/// Dijkstra on a forward star of the kept ways (KyEngineForwardStar) that
/// prepare() makes; when some kept way weighs less than 0, prepare() first
/// finds Johnson's potentials with Bellman-Ford, so that every search still
/// runs Dijkstra. The search holds O(n + m) costs and 16 bytes per kept
/// way; the network must outlive it. Not copyable.
class KyEngineWalkSearch {
public:
  /// Costs by node and edge position. Building costs O(n + m): one pass
  /// over the costs finds whether any is negative and whether every node
  /// cost is 0, which spares the searches the work those cases need.
  KyEngineWalkSearch(const KyEngineNetwork& net, std::vector<int> nodeCost,
                     std::vector<int> edgeCost);
  ~KyEngineWalkSearch();
  KyEngineWalkSearch(const KyEngineWalkSearch&) = delete;
  KyEngineWalkSearch& operator=(const KyEngineWalkSearch&) = delete;

  /// Keeps only the nodes marked in `keep`, by position. O(n).
  void keepOnly(std::vector<char> keep);
  /// Whether some kept way weighs less than 0: O(1) when no cost is
  /// negative, else O(m).
  bool hasNegativeArc() const;
  /// Readies the searches, which may run only after it; false when a
  /// cycle of negative cost joins kept nodes (then no search may run).
  /// O(n + m) when no kept way is negative, else O(n m).
  bool prepare();
  /// Fills `tree` with the cheapest walks from `start`. When no way is
  /// negative the search stops at walks costing more than `limit`, which
  /// may then be left unreached. A `finish` other than -1 and `start` ends
  /// the search once its cheapest walk is known: then only the finish and
  /// the nodes of its walk are filled in, every other node is left
  /// unreached, and the walk back to the start is not looked for.
  /// O(m log n).
  void search(int start, std::int64_t limit, KyEngineWalkTree& tree, int finish = -1) const;
  /// The nodes whose cheapest walk from `start` costs at most `limit`, in
  /// order of that cost, then of position; `start` among them at the cost
  /// search() gives it. When no cost is negative the search settles those
  /// nodes alone, in order of cost; else it fills a tree as search() does
  /// and sorts. O(m log n).
  std::vector<int> nodesWithin(int start, std::int64_t limit) const;

private:
  int nodeCount() const { return static_cast<int>(nodeCost_.size()); }
  bool kept(int way) const {
    return keep_.empty() || (keep_[net_.wayFrom(way)] && keep_[net_.wayTo(way)]);
  }
  /// The weight of `way` without potentials: the cost of the node it
  /// leaves plus the cost of its edge.
  std::int64_t weight(int way) const {
    return (nodeCosts_ ? std::int64_t{nodeCost_[net_.wayFrom(way)]} : 0) +
           edgeCost_[net_.wayEdge(way)];
  }

  const KyEngineNetwork& net_;
  std::vector<int> nodeCost_, edgeCost_;
  std::vector<char> keep_;                    // empty while every node is kept
  bool negativeCost_ = false;                 // some node or edge cost is below 0
  bool nodeCosts_ = false;                    // some node cost is not 0
  std::vector<std::int64_t> potential_;       // empty while every kept way is >= 0
  std::unique_ptr<KyEngineForwardStar> star_; // the kept ways, made by prepare()
};
