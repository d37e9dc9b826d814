// KyGraph: a directed graph that owns its nodes and edges.
#pragma once

#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyNodeDList.h>

class KyNode;
class KyEdge;

/// Directed multigraph. The graph owns its nodes and edges and deletes them
/// with itself; members are never removed one by one. Adding a node or an
/// edge costs O(1) amortized. Not copyable.
class KYPLATFORM_EXPORT KyGraph : public KyObject {
public:
  KyGraph() = default;
  ~KyGraph() override;
  KyGraph(const KyGraph&) = delete;
  KyGraph& operator=(const KyGraph&) = delete;

  /// A new node of this graph.
  KyNode* addNode();
  /// A new edge from `source` to `target`; null (and nothing added) when
  /// either is null or belongs to another graph.
  KyEdge* addEdge(KyNode* source, KyNode* target);

  int numberOfNodes() const { return nodes_.length(); }
  int numberOfEdges() const { return edges_.length(); }
  /// The graph's own lists, in order of making; read-only.
  const KyNodeDList* pNodeList() const { return &nodes_; }
  const KyEdgeDList* pEdgeList() const { return &edges_; }

  std::size_t sizeOf() const override;

  static KyGraph* castDown(const KyObject* object) {
    return static_cast<KyGraph*>(const_cast<KyObject*>(object));
  }

private:
  KyNodeDList nodes_;
  KyEdgeDList edges_;
};
