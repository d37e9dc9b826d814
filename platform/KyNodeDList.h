// KyNodeDList: a list of node references, and its iterator.
#pragma once

#include <kyplatform/KyDList.h>
#include <kyplatform/KyNode.h>

/// List of nodes. It never owns its nodes: they belong to their graph.
class KYPLATFORM_EXPORT KyNodeDList : public KyDList {
public:
  KyNodeDList() = default;

  KyDListCell* appendNode(KyNode* node);
  KyDListCell* prependNode(KyNode* node);
  /// The first cell holding `node`, or null. Cost O(length).
  KyDListCell* searchNode(const KyNode* node) const;
  /// The first node, for range-based for loops: `for (KyNode* node : list)`.
  KyDListIterator<KyNode> begin() const { return KyDListIterator<KyNode>(pFirstCell()); }
  KyDListIterator<KyNode> end() const { return KyDListIterator<KyNode>(); }
  /// A new list holding the same nodes in the same order; the caller owns it.
  KyNodeDList* cloneObject() const { return static_cast<KyNodeDList*>(vCloneObject()); }

  static KyNodeDList* castDown(const KyObject* object) {
    return static_cast<KyNodeDList*>(const_cast<KyObject*>(object));
  }

protected:
  KyObject* vCloneObject() const override;
};

/// Walks a KyNodeDList as KyDListIter does.
class KYPLATFORM_EXPORT KyNodeDListIter : public KyDListIter {
public:
  explicit KyNodeDListIter(const KyDList* list, int direction = KY_ITER_FORWARD)
      : KyDListIter(list, direction) {}

  KyNode* pNode() const;
};
