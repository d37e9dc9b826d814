// The engine's networks as LEMON digraphs, for the analyses whose algorithm
// LEMON provides. Internal to the engine; not installed.
#pragma once

#include "KyEngineLemonItem_p.h"
#include "KyEngineNetwork_p.h"

#include <lemon/bits/graph_extender.h>
#include <lemon/core.h>

/// The core of LEMON's digraph concept over a KyEngineNetwork, copying
/// nothing: node id i is the node at position i and arc id w the network's
/// way w. Nodes, arcs and a node's outgoing arcs come last first, as in a
/// LEMON graph made by adding the ways in order, so that LEMON's searches
/// take their ties as they would there; a node's incoming arcs come last
/// way first too.
class KyEngineLemonBase {
public:
  using Node = KyEngineLemonItem<KyEngineLemonBase, KyEngineLemonNodeKind>;
  using Arc = KyEngineLemonItem<KyEngineLemonBase, KyEngineLemonArcKind>;

  Node source(const Arc& arc) const { return Node(net_->wayFrom(arc.id)); }
  Node target(const Arc& arc) const { return Node(net_->wayTo(arc.id)); }

  void first(Node& node) const { node.id = net_->nodeCount() - 1; }
  static void next(Node& node) { --node.id; }
  void first(Arc& arc) const { arc.id = net_->wayCount() - 1; }
  static void next(Arc& arc) { --arc.id; }
  void firstOut(Arc& arc, const Node& node) const { arc.id = net_->lastWayOut(node.id); }
  void nextOut(Arc& arc) const { arc.id = net_->previousWayOut(arc.id); }
  void firstIn(Arc& arc, const Node& node) const { arc.id = net_->lastWayIn(node.id); }
  void nextIn(Arc& arc) const { arc.id = net_->previousWayIn(arc.id); }

  static int id(const Node& node) { return node.id; }
  static Node nodeFromId(int id) { return Node(id); }
  int maxNodeId() const { return net_->nodeCount() - 1; }
  static int id(const Arc& arc) { return arc.id; }
  static Arc arcFromId(int id) { return Arc(id); }
  int maxArcId() const { return net_->wayCount() - 1; }

  using NodeNumTag = lemon::True;
  int nodeNum() const { return net_->nodeCount(); }

protected:
  KyEngineLemonBase() = default;

  const KyEngineNetwork* net_ = nullptr;
};

/// A KyEngineNetwork as a LEMON digraph (see KyEngineLemonBase), with
/// LEMON's iterators and maps. Made in O(1); the network must outlive it.
/// It follows the graph's own links, spread over blocks, a cache miss a
/// step on a large graph: an algorithm that walks every arc many times runs
/// faster on a KyEngineFlatDigraph, one that only walks the arcs out of
/// nodes on a KyEngineForwardStar; both cost a pass to make.
class KyEngineLemonGraph : public lemon::DigraphExtender<KyEngineLemonBase> {
public:
  explicit KyEngineLemonGraph(const KyEngineNetwork& net) { net_ = &net; }
  KyEngineLemonGraph(const KyEngineLemonGraph&) = delete;
  KyEngineLemonGraph& operator=(const KyEngineLemonGraph&) = delete;
};

/// A network with its LEMON digraph, and the ways between the two: node id
/// i is the node at position i, edge(arc) the position of an arc's edge.
/// Made in O(1); the network must outlive it. Not copyable.
class KyEngineDigraph {
public:
  using Graph = KyEngineLemonGraph;

  explicit KyEngineDigraph(const KyEngineNetwork& net) : graph(net), net_(net) {}

  Graph::Node node(int position) const { return Graph::nodeFromId(position); }
  int position(Graph::Node node) const { return Graph::id(node); }
  int edge(Graph::Arc arc) const { return net_.wayEdge(Graph::id(arc)); }
  const KyEngineNetwork& network() const { return net_; }

  Graph graph;

private:
  const KyEngineNetwork& net_;
};
