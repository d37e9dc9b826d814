// KyEngineNetwork: the analysed graph as arrays, as the engine's analyses
// walk it. Internal to the engine; not installed.
#pragma once

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

#include <vector>

/// Nodes and edges by position (KyNode::index(), KyEdge::index()) with both
/// adjacencies in compressed form, edges of a node in order of making.
///
/// An edge marked undirected may be followed both ways: it is in the
/// outgoing and the incoming list of both its ends (a self-loop once in
/// each), and other(edge, node) gives the end it leads to. Holds pointers
/// into the graph, which must outlive it. Building costs O(n + m).
struct KyEngineNetwork {
  std::vector<KyNode*> nodes;
  std::vector<KyEdge*> edges;
  std::vector<int> source, target;
  std::vector<char> undirected;
  std::vector<int> outStart, outEdges, inStart, inEdges;

  int nodeCount() const { return static_cast<int>(nodes.size()); }
  int edgeCount() const { return static_cast<int>(edges.size()); }
  /// The end of `edge` other than `node`; the target when `node` is both.
  int other(int edge, int node) const { return source[edge] == node ? target[edge] : source[edge]; }
  /// Calls visit(edge) for every edge that may be followed out of `node`.
  template <class Visit> void forOut(int node, Visit visit) const {
    for (int i = outStart[node]; i < outStart[node + 1]; ++i)
      visit(outEdges[i]);
  }
  /// Calls visit(edge) for every edge that may be followed into `node`.
  template <class Visit> void forIn(int node, Visit visit) const {
    for (int i = inStart[node]; i < inStart[node + 1]; ++i)
      visit(inEdges[i]);
  }
};

/// Rebuilds the adjacencies of `net` from its edges and undirected marks.
void linkNetwork(KyEngineNetwork& net);

/// The network of `graph` with every edge directed.
KyEngineNetwork readNetwork(const KyGraph& graph);

/// The nodes and edges of `graph`, every edge directed, without the
/// adjacencies: linkNetwork() builds those.
KyEngineNetwork readUnlinkedNetwork(const KyGraph& graph);

/// Groups the items 0..key.size()-1 by key (0..groups-1), keeping their
/// order: the items of group g are items[start[g]] to items[start[g+1]-1].
void groupByKey(int groups, const std::vector<int>& key, std::vector<int>& start,
                std::vector<int>& items);
