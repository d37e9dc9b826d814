// KyEngineFlatDigraph: a network's ways copied into flat arrays laid out as
// LEMON's own digraphs lay out theirs, for the algorithms that walk every
// arc over and over. Internal to the engine; not installed.
#pragma once

#include "KyEngineLemonItem_p.h"
#include "KyEngineNetwork_p.h"

#include <lemon/bits/graph_extender.h>
#include <lemon/core.h>

#include <vector>

/// The core of LEMON's digraph concept over the arrays of a
/// KyEngineFlatDigraph: node id i is the node at position i and arc id w
/// the network's way w, listed in the order KyEngineLemonGraph lists them
/// (nodes, arcs and a node's arcs out and in last first). An arc holds its
/// two ends and the arcs before it out of its source and into its target,
/// 16 bytes side by side as in LEMON's SmartDigraph, so a walk along a
/// node's arcs touches one line of memory per arc.
class KyEngineFlatDigraphBase {
public:
  using Node = KyEngineLemonItem<KyEngineFlatDigraphBase, KyEngineLemonNodeKind>;
  using Arc = KyEngineLemonItem<KyEngineFlatDigraphBase, KyEngineLemonArcKind>;

  Node source(const Arc& arc) const { return Node(arcs_[arc.id].source); }
  Node target(const Arc& arc) const { return Node(arcs_[arc.id].target); }

  void first(Node& node) const { node.id = static_cast<int>(nodes_.size()) - 1; }
  static void next(Node& node) { --node.id; }
  void first(Arc& arc) const { arc.id = static_cast<int>(arcs_.size()) - 1; }
  static void next(Arc& arc) { --arc.id; }
  void firstOut(Arc& arc, const Node& node) const { arc.id = nodes_[node.id].lastOut; }
  void nextOut(Arc& arc) const { arc.id = arcs_[arc.id].previousOut; }
  void firstIn(Arc& arc, const Node& node) const { arc.id = nodes_[node.id].lastIn; }
  void nextIn(Arc& arc) const { arc.id = arcs_[arc.id].previousIn; }

  static int id(const Node& node) { return node.id; }
  static Node nodeFromId(int id) { return Node(id); }
  int maxNodeId() const { return static_cast<int>(nodes_.size()) - 1; }
  static int id(const Arc& arc) { return arc.id; }
  static Arc arcFromId(int id) { return Arc(id); }
  int maxArcId() const { return static_cast<int>(arcs_.size()) - 1; }

  using NodeNumTag = lemon::True;
  int nodeNum() const { return static_cast<int>(nodes_.size()); }

protected:
  KyEngineFlatDigraphBase() = default;

  struct NodeLinks {
    int lastOut, lastIn;
  };
  struct ArcLinks {
    int target, source, previousOut, previousIn;
  };
  std::vector<NodeLinks> nodes_;
  std::vector<ArcLinks> arcs_;
};

/// A network's ways as a LEMON digraph in flat arrays (see
/// KyEngineFlatDigraphBase): the same ids and orders as the
/// KyEngineLemonGraph of the network, which costs nothing to make but walks
/// the graph's own links, spread over blocks. Making the copy costs
/// O(n + m) and 16 bytes per way and 8 per node; it pays where an
/// algorithm walks every arc many times. The network must outlive it. Not
/// copyable.
class KyEngineFlatDigraph : public lemon::DigraphExtender<KyEngineFlatDigraphBase> {
public:
  explicit KyEngineFlatDigraph(const KyEngineNetwork& net) : net_(net) {
    nodes_.resize(static_cast<std::size_t>(net.nodeCount()));
    for (int v = 0; v < net.nodeCount(); ++v)
      nodes_[v] = NodeLinks{net.lastWayOut(v), net.lastWayIn(v)};
    arcs_.resize(static_cast<std::size_t>(net.wayCount()));
    for (int way = 0; way < net.wayCount(); ++way)
      arcs_[way] = ArcLinks{net.wayTo(way), net.wayFrom(way), net.previousWayOut(way),
                            net.previousWayIn(way)};
  }
  KyEngineFlatDigraph(const KyEngineFlatDigraph&) = delete;
  KyEngineFlatDigraph& operator=(const KyEngineFlatDigraph&) = delete;

  /// The position of the edge an arc follows.
  int edge(Arc arc) const { return net_.wayEdge(id(arc)); }
  const KyEngineNetwork& network() const { return net_; }

private:
  const KyEngineNetwork& net_;
};
