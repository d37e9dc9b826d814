// KyEdgeDList: a list of edge references, and its iterator.
#pragma once

#include <kyplatform/KyDList.h>
#include <kyplatform/KyEdge.h>

/// List of edges. It never owns its edges: they belong to their graph.
class KYPLATFORM_EXPORT KyEdgeDList : public KyDList {
public:
  KyEdgeDList() = default;

  KyDListCell* appendEdge(KyEdge* edge);
  KyDListCell* prependEdge(KyEdge* edge);
  /// The first cell holding `edge`, or null. Cost O(length).
  KyDListCell* searchEdge(const KyEdge* edge) const;
  /// The first edge, for range-based for loops: `for (KyEdge* edge : list)`.
  KyDListIterator<KyEdge> begin() const { return KyDListIterator<KyEdge>(pFirstCell()); }
  KyDListIterator<KyEdge> end() const { return KyDListIterator<KyEdge>(); }
  /// A new list holding the same edges in the same order; the caller owns it.
  KyEdgeDList* cloneObject() const { return static_cast<KyEdgeDList*>(vCloneObject()); }

  static KyEdgeDList* castDown(const KyObject* object) {
    return static_cast<KyEdgeDList*>(const_cast<KyObject*>(object));
  }

protected:
  KyObject* vCloneObject() const override;
};

/// Walks a KyEdgeDList as KyDListIter does.
class KYPLATFORM_EXPORT KyEdgeDListIter : public KyDListIter {
public:
  explicit KyEdgeDListIter(const KyDList* list, int direction = KY_ITER_FORWARD)
      : KyDListIter(list, direction) {}

  KyEdge* pEdge() const;
};
