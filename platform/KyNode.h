// KyNode: a node of a KyGraph.
#pragma once

#include <kyplatform/KyGraphMember.h>

#include <vector>

class KyEdge;

/// A node. It knows its outgoing and incoming edges in order of making.
class KYPLATFORM_EXPORT KyNode : public KyGraphMember {
public:
  int numberOfOutEdges() const { return static_cast<int>(out_.size()); }
  int numberOfInEdges() const { return static_cast<int>(in_.size()); }

  std::size_t sizeOf() const override;

  static KyNode* castDown(const KyObject* object) {
    return static_cast<KyNode*>(const_cast<KyObject*>(object));
  }

private:
  friend class KyGraph;
  friend class KyOutEdgeIter;
  friend class KyInEdgeIter;
  KyNode(KyGraph* graph, int index) : KyGraphMember(graph, index) {}
  ~KyNode() override;

  std::vector<KyEdge*> out_;
  std::vector<KyEdge*> in_;
};
