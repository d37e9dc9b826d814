// KyEdge: a directed edge of a KyGraph.
#pragma once

#include <kyplatform/KyGraphMember.h>

class KyNode;

/// A directed edge from its source node to its target node. Self-loops and
/// parallel edges are allowed.
class KYPLATFORM_EXPORT KyEdge : public KyGraphMember {
public:
  /// The ends, as the graph's links give them. O(1).
  KyNode* pSourceNode() const;
  KyNode* pTargetNode() const;

  std::size_t sizeOf() const override { return sizeof(KyEdge); }
  /// The edge's graph and position.
  bool ownerPlace(KyOwnerPlace& place) const override;

  static KyEdge* castDown(const KyObject* object) {
    return static_cast<KyEdge*>(const_cast<KyObject*>(object));
  }

private:
  friend class KyGraph;
  KyEdge(KyGraph* graph, int index) : KyGraphMember(graph, index) {}
  ~KyEdge() override;
};
