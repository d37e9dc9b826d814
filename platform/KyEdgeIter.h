// KyOutEdgeIter and KyInEdgeIter: walk the edges leaving or entering a node.
#pragma once

#include <kyplatform/KyObject.h>

#include <vector>

class KyNode;
class KyEdge;

/// Shared walk over one of a node's edge sequences. Direction 1 starts at
/// the first edge made and walks forward, 2 starts at the last and walks
/// backward; on a null node the walk is finished at once. Edges added to
/// the node during the walk may or may not be visited.
class KYPLATFORM_EXPORT KyNodeEdgeIter {
public:
  operator int() const { return position_ >= 0 && position_ < size() ? 1 : 0; }
  KyNodeEdgeIter& operator++() {
    position_ += step_;
    return *this;
  }
  KyNodeEdgeIter operator++(int) {
    KyNodeEdgeIter before = *this;
    position_ += step_;
    return before;
  }
  KyNodeEdgeIter& operator--() {
    position_ -= step_;
    return *this;
  }
  KyNodeEdgeIter operator--(int) {
    KyNodeEdgeIter before = *this;
    position_ -= step_;
    return before;
  }
  /// The current edge, or null when the walk is finished.
  KyEdge* pEdge() const {
    return *this ? (*edges_)[static_cast<std::size_t>(position_)] : nullptr;
  }

protected:
  KyNodeEdgeIter(const std::vector<KyEdge*>* edges, int direction);

private:
  int size() const { return edges_ != nullptr ? static_cast<int>(edges_->size()) : 0; }

  const std::vector<KyEdge*>* edges_;
  int position_;
  int step_;
};

/// Walks the edges whose source is the node.
class KYPLATFORM_EXPORT KyOutEdgeIter : public KyNodeEdgeIter {
public:
  explicit KyOutEdgeIter(const KyNode* node, int direction = KY_ITER_FORWARD);
};

/// Walks the edges whose target is the node.
class KYPLATFORM_EXPORT KyInEdgeIter : public KyNodeEdgeIter {
public:
  explicit KyInEdgeIter(const KyNode* node, int direction = KY_ITER_FORWARD);
};
