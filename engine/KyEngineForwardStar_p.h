// KyEngineForwardStar: the ways out of every node of a network side by
// side, with a weight each when asked, as a LEMON digraph for the
// cheapest-walk searches and as plain runs for the engine's own walks.
// Internal to the engine; not installed.
#pragma once

#include "KyEngineLemonItem_p.h"
#include "KyEngineNetwork_p.h"

#include <lemon/bits/graph_extender.h>
#include <lemon/core.h>

#include <cstdint>
#include <vector>

/// The core of LEMON's digraph concept over the arrays of a
/// KyEngineForwardStar: node id i is the node at position i, arc id k the
/// k-th way copied. An arc carries the node it leaves, so that stepping to
/// the next arc out of a node and finding an arc's source read no memory
/// but the node's end of run. Arcs come as KyEngineLemonGraph lists them
/// for the same network: a node's ways out last way first. Only the arcs
/// out of a node can be walked, not all arcs at once nor those into a
/// node.
class KyEngineForwardStarBase {
public:
  /// One way copied: where it leads and its edge.
  struct Slot {
    int target;
    int edge;
  };

  using Node = KyEngineLemonItem<KyEngineForwardStarBase, KyEngineLemonNodeKind>;
  class Arc {
    friend class KyEngineForwardStarBase;

  protected:
    int id;
    int from;

  public:
    Arc() = default;
    Arc(lemon::Invalid) : id(-1), from(-1) {}
    bool operator==(const Arc& arc) const { return id == arc.id; }
    bool operator!=(const Arc& arc) const { return id != arc.id; }
    bool operator<(const Arc& arc) const { return id < arc.id; }
  };

  Node source(const Arc& arc) const { return Node(arc.from); }
  Node target(const Arc& arc) const { return Node(slots_[arc.id].target); }

  void first(Node& node) const { node.id = nodeCount() - 1; }
  static void next(Node& node) { --node.id; }
  void firstOut(Arc& arc, const Node& node) const {
    arc.from = node.id;
    arc.id = start_[node.id] < start_[node.id + 1] ? start_[node.id] : -1;
  }
  void nextOut(Arc& arc) const {
    if (++arc.id == start_[arc.from + 1])
      arc.id = -1;
  }

  static int id(const Node& node) { return node.id; }
  static Node nodeFromId(int id) { return Node(id); }
  int maxNodeId() const { return nodeCount() - 1; }
  static int id(const Arc& arc) { return arc.id; }
  int maxArcId() const { return arcCount() - 1; }

  using NodeNumTag = lemon::True;
  int nodeNum() const { return nodeCount(); }

  /// The way an arc copies: its edge and, when the star has weights, its
  /// weight.
  int edge(const Arc& arc) const { return slots_[arc.id].edge; }
  std::int64_t weight(const Arc& arc) const { return weights_[arc.id]; }

  /// The arcs out of the node at position v by id, from begin(v) to
  /// end(v) - 1: the node's ways last way first, so that a walk from
  /// end(v) - 1 down takes them in order of making.
  int begin(int v) const { return start_[v]; }
  int end(int v) const { return start_[v + 1]; }
  const Slot& slot(int id) const { return slots_[id]; }
  std::int64_t slotWeight(int id) const { return weights_[id]; }
  /// Calls visit(id) for every arc out of the node at position v, in order
  /// of making of their ways.
  template <class Visit> void forOut(int v, Visit visit) const {
    for (int id = end(v) - 1; id >= begin(v); --id)
      visit(id);
  }

protected:
  KyEngineForwardStarBase() = default;

  int nodeCount() const { return static_cast<int>(start_.size()) - 1; }
  int arcCount() const { return static_cast<int>(slots_.size()); }

  // The arcs out of node v are start_[v] to start_[v + 1] - 1.
  std::vector<int> start_;
  std::vector<Slot> slots_;
  std::vector<std::int64_t> weights_; // by arc, when weighted
};

/// The kept ways of a network, those out of each node side by side in
/// LEMON's order, each with a weight when asked, as a LEMON digraph on the
/// network's node positions (see KyEngineForwardStarBase). A walk along a
/// node's arcs reads one run of memory instead of following the graph's
/// links edge by edge, a cache miss each. Making it costs O(n + m) and 8
/// bytes per way kept, 16 with weights; it keeps nothing of the network.
/// Not copyable.
class KyEngineForwardStar : public lemon::DigraphExtender<KyEngineForwardStarBase> {
public:
  /// The ways of `net` for which kept(way) holds. `net` is a
  /// KyEngineNetwork, or anything that numbers its nodes and ways as one
  /// does: nodeCount(), wayCount(), wayFrom(), wayTo() and wayEdge().
  template <class Net, class Kept> KyEngineForwardStar(const Net& net, Kept kept) {
    build(
        net, kept, [](int) { return std::int64_t{0}; }, false);
  }
  /// The ways of `net` for which kept(way) holds, each weighing
  /// weight(way).
  template <class Net, class Kept, class Weight>
  KyEngineForwardStar(const Net& net, Kept kept, Weight weight) {
    build(net, kept, weight, true);
  }
  KyEngineForwardStar(const KyEngineForwardStar&) = delete;
  KyEngineForwardStar& operator=(const KyEngineForwardStar&) = delete;

  /// The weights of the arcs as a LEMON read map.
  struct WeightMap {
    using Key = Arc;
    using Value = std::int64_t;
    Value operator[](const Key& arc) const { return star->weight(arc); }
    const KyEngineForwardStar* star;
  };

private:
  template <class Net, class Kept, class Weight>
  void build(const Net& net, Kept kept, Weight weight, bool weighted) {
    const int n = net.nodeCount();
    // start_[v + 1] counts the ways out of v, then, summed, ends its run.
    start_.assign(static_cast<std::size_t>(n) + 1, 0);
    for (int way = 0; way < net.wayCount(); ++way)
      if (kept(way))
        ++start_[net.wayFrom(way) + 1];
    for (int v = 0; v < n; ++v)
      start_[v + 1] += start_[v];
    slots_.resize(static_cast<std::size_t>(start_[n]));
    if (weighted)
      weights_.resize(slots_.size());
    // Ways from last to first, each into the first free slot of its node's
    // run, so that a run lists its node's ways last way first.
    std::vector<int> next(start_.begin(), start_.end() - 1);
    for (int way = net.wayCount() - 1; way >= 0; --way)
      if (kept(way)) {
        const int at = next[net.wayFrom(way)]++;
        slots_[at] = Slot{net.wayTo(way), net.wayEdge(way)};
        if (weighted)
          weights_[at] = weight(way);
      }
  }
};
