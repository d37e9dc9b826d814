// KyEngineNetwork: the analysed graph as the engine's analyses walk it.
// Internal to the engine; not installed.
#pragma once

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include <vector>

/// Nodes and edges by position (KyNode::index(), KyEdge::index()), each
/// edge with its two ends, and the ways a walk may leave each node.
///
/// A view reads the graph's own arrays and copies nothing: every edge is
/// followed from its source to its target, or, reversed, from its target
/// to its source. A built network keeps arrays of its own, for edges
/// followed both ways (an undirected edge is a way out of both its ends, a
/// self-loop once) or for a reshaped graph; its positions past the graph's
/// members stand for nodes or edges of no member. A way is an edge followed
/// out of one of its ends; a node's ways come in order of making of their
/// edges. Holds a pointer to the graph, which must outlive it.
class KyEngineNetwork {
public:
  /// The view of `graph`, edges reversed when `reversed`. O(1).
  explicit KyEngineNetwork(const KyGraph& graph, bool reversed = false);
  /// A built network on `graph`: `nodeCount` nodes, and edge e from
  /// source[e] to target[e], followed both ways where undirected[e] is set
  /// (an empty `undirected` sets none). O(n + m).
  KyEngineNetwork(const KyGraph& graph, int nodeCount, std::vector<int> source,
                  std::vector<int> target, std::vector<char> undirected);

  const KyGraph& graph() const { return *graph_; }
  int nodeCount() const { return nodeCount_; }
  int edgeCount() const { return edgeCount_; }
  /// The member at a position, or null past the graph's members.
  KyNode* node(int v) const { return v < graph_->numberOfNodes() ? graph_->pNodeAt(v) : nullptr; }
  KyEdge* edge(int e) const { return e < graph_->numberOfEdges() ? graph_->pEdgeAt(e) : nullptr; }
  int source(int e) const {
    return built_      ? source_[e]
           : reversed_ ? graph_->edgeLinks(e).target
                       : graph_->edgeLinks(e).source;
  }
  int target(int e) const {
    return built_      ? target_[e]
           : reversed_ ? graph_->edgeLinks(e).source
                       : graph_->edgeLinks(e).target;
  }
  bool undirected(int e) const { return !undirected_.empty() && undirected_[e] != 0; }
  /// The end of `edge` other than `node`; the target when `node` is both.
  int other(int edge, int node) const { return source(edge) == node ? target(edge) : source(edge); }
  /// Calls visit(edge) for every way out of `node`, in order.
  template <class Visit> void forOut(int node, Visit visit) const {
    for (int way = firstWayOut(node); way >= 0; way = nextWayOut(way))
      visit(wayEdge(way));
  }
  /// The network with every edge's ends swapped: a reversed view of a view,
  /// else built.
  KyEngineNetwork reversed() const;

  /// Ways by number, 0 to wayCount() - 1: of a view, the edge numbers.
  int wayCount() const { return built_ ? static_cast<int>(wayEdge_.size()) : edgeCount_; }
  int wayEdge(int way) const { return built_ ? wayEdge_[way] : way; }
  int wayFrom(int way) const { return built_ ? wayFrom_[way] : source(way); }
  int wayTo(int way) const {
    if (built_)
      return other(wayEdge_[way], wayFrom_[way]);
    const KyGraph::EdgeLinks& links = graph_->edgeLinks(way);
    return reversed_ ? links.source : links.target;
  }
  /// A node's ways out, first to last and last to first, and the ways into
  /// it last to first; -1 past the end.
  int firstWayOut(int node) const {
    if (built_)
      return outStart_[node] < outStart_[node + 1] ? outStart_[node] : -1;
    const KyGraph::NodeLinks& links = graph_->nodeLinks(node);
    return reversed_ ? links.firstIn : links.firstOut;
  }
  int nextWayOut(int way) const {
    if (built_)
      return way + 1 < outStart_[wayFrom_[way] + 1] ? way + 1 : -1;
    const KyGraph::EdgeLinks& links = graph_->edgeLinks(way);
    return reversed_ ? links.nextIn : links.nextOut;
  }
  int lastWayOut(int node) const {
    if (built_)
      return outStart_[node] < outStart_[node + 1] ? outStart_[node + 1] - 1 : -1;
    const KyGraph::NodeLinks& links = graph_->nodeLinks(node);
    return reversed_ ? links.lastIn : links.lastOut;
  }
  int previousWayOut(int way) const {
    if (built_)
      return way > outStart_[wayFrom_[way]] ? way - 1 : -1;
    const KyGraph::EdgeLinks& links = graph_->edgeLinks(way);
    return reversed_ ? links.previousIn : links.previousOut;
  }
  int lastWayIn(int node) const {
    if (built_)
      return inStart_[node] < inStart_[node + 1] ? inWays_[inStart_[node + 1] - 1] : -1;
    const KyGraph::NodeLinks& links = graph_->nodeLinks(node);
    return reversed_ ? links.lastOut : links.lastIn;
  }
  int previousWayIn(int way) const {
    if (built_) {
      const int place = inPlace_[way];
      return place > inStart_[wayTo(way)] ? inWays_[place - 1] : -1;
    }
    const KyGraph::EdgeLinks& links = graph_->edgeLinks(way);
    return reversed_ ? links.previousOut : links.previousIn;
  }

private:
  const KyGraph* graph_;
  bool built_ = false;
  bool reversed_ = false;
  int nodeCount_ = 0;
  int edgeCount_ = 0;
  // A built network's edges and ways: the ways out of node v are
  // outStart_[v] to outStart_[v + 1] - 1, those into it inWays_[inStart_[v]]
  // to inWays_[inStart_[v + 1] - 1] in order of way, inPlace_[way] the
  // place of a way in inWays_.
  std::vector<int> source_, target_;
  std::vector<char> undirected_;
  std::vector<int> outStart_, wayEdge_, wayFrom_, inStart_, inWays_, inPlace_;
};

/// The network of `graph` with every edge directed: its view.
inline KyEngineNetwork readNetwork(const KyGraph& graph) { return KyEngineNetwork(graph); }

/// Groups the items 0..key.size()-1 by key (0..groups-1), keeping their
/// order: the items of group g are items[start[g]] to items[start[g+1]-1].
void groupByKey(int groups, const std::vector<int>& key, std::vector<int>& start,
                std::vector<int>& items);
