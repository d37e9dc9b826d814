// KyOutEdgeIter and KyInEdgeIter: walk the edges leaving or entering a node.
#pragma once

#include <kyplatform/KyObject.h>

class KyNode;
class KyEdge;
class KyGraph;

/// Shared walk over one of a node's edge lists. Direction 1 starts at the
/// first edge made and walks forward, 2 starts at the last and walks
/// backward; on a null node the walk is finished at once. Steps past either
/// end count, so stepping back returns to the end. Edges added to the node
/// during the walk may or may not be visited. Each step costs O(1).
class KYPLATFORM_EXPORT KyNodeEdgeIter {
public:
  operator int() const { return edge_ >= 0 ? 1 : 0; }
  KyNodeEdgeIter& operator++() {
    step(step_);
    return *this;
  }
  KyNodeEdgeIter operator++(int) {
    KyNodeEdgeIter before = *this;
    step(step_);
    return before;
  }
  KyNodeEdgeIter& operator--() {
    step(-step_);
    return *this;
  }
  KyNodeEdgeIter operator--(int) {
    KyNodeEdgeIter before = *this;
    step(-step_);
    return before;
  }
  /// The current edge, or null when the walk is finished.
  KyEdge* pEdge() const;

protected:
  KyNodeEdgeIter(const KyNode* node, bool outgoing, int direction);

private:
  // Moves `by` (1 or -1) places along the list in order of making.
  void step(int by);

  const KyGraph* graph_ = nullptr;
  int node_ = -1;
  bool outgoing_;
  int position_ = 0; // place in the list in order of making; may lie past an end
  int edge_ = -1;    // the edge at position_, -1 past an end
  int step_ = 1;
};

/// Walks the edges whose source is the node.
class KYPLATFORM_EXPORT KyOutEdgeIter : public KyNodeEdgeIter {
public:
  explicit KyOutEdgeIter(const KyNode* node, int direction = KY_ITER_FORWARD)
      : KyNodeEdgeIter(node, true, direction) {}
};

/// Walks the edges whose target is the node.
class KYPLATFORM_EXPORT KyInEdgeIter : public KyNodeEdgeIter {
public:
  explicit KyInEdgeIter(const KyNode* node, int direction = KY_ITER_FORWARD)
      : KyNodeEdgeIter(node, false, direction) {}
};
