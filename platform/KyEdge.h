// KyEdge: a directed edge of a KyGraph.
#pragma once

#include <kyplatform/KyGraphMember.h>

class KyNode;

/// A directed edge from its source node to its target node. Self-loops and
/// parallel edges are allowed.
class KYPLATFORM_EXPORT KyEdge : public KyGraphMember {
public:
  KyNode* pSourceNode() const { return source_; }
  KyNode* pTargetNode() const { return target_; }

  std::size_t sizeOf() const override { return sizeof(KyEdge); }
  /// The edge's graph and position.
  bool ownerPlace(KyOwnerPlace& place) const override;

  static KyEdge* castDown(const KyObject* object) {
    return static_cast<KyEdge*>(const_cast<KyObject*>(object));
  }

private:
  friend class KyGraph;
  KyEdge(KyGraph* graph, int index, KyNode* source, KyNode* target)
      : KyGraphMember(graph, index), source_(source), target_(target) {}
  ~KyEdge() override;

  KyNode* source_;
  KyNode* target_;
};
