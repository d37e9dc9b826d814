// KyNode: a node of a KyGraph.
#pragma once

#include <kyplatform/KyGraphMember.h>

/// A node. Its graph keeps its outgoing and incoming edges in order of
/// making (KyOutEdgeIter, KyInEdgeIter).
class KYPLATFORM_EXPORT KyNode : public KyGraphMember {
public:
  int numberOfOutEdges() const;
  int numberOfInEdges() const;

  std::size_t sizeOf() const override { return sizeof(KyNode); }
  /// The node's graph and position.
  bool ownerPlace(KyOwnerPlace& place) const override;

  static KyNode* castDown(const KyObject* object) {
    return static_cast<KyNode*>(const_cast<KyObject*>(object));
  }

private:
  friend class KyGraph;
  KyNode(KyGraph* graph, int index) : KyGraphMember(graph, index) {}
  ~KyNode() override;
};
