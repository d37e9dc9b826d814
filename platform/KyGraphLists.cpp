// Node and edge lists share their search and clone logic through KyDList.
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>

namespace {
KyDListCell* search(const KyDList& list, const KyObject* object) {
  for (KyDListCell* cell = list.pFirstCell(); cell != nullptr; cell = cell->pNext())
    if (cell->pObject() == object)
      return cell;
  return nullptr;
}
} // namespace

KyDListCell* KyNodeDList::appendNode(KyNode* node) { return appendObject(node); }
KyDListCell* KyNodeDList::prependNode(KyNode* node) { return prependObject(node); }
KyDListCell* KyNodeDList::searchNode(const KyNode* node) const { return search(*this, node); }

KyObject* KyNodeDList::vCloneObject() const {
  auto* copy = new KyNodeDList;
  copy->copyAllCells(*this);
  return copy;
}

KyNode* KyNodeDListIter::pNode() const { return KyNode::castDown(pObject()); }

KyDListCell* KyEdgeDList::appendEdge(KyEdge* edge) { return appendObject(edge); }
KyDListCell* KyEdgeDList::prependEdge(KyEdge* edge) { return prependObject(edge); }
KyDListCell* KyEdgeDList::searchEdge(const KyEdge* edge) const { return search(*this, edge); }

KyObject* KyEdgeDList::vCloneObject() const {
  auto* copy = new KyEdgeDList;
  copy->copyAllCells(*this);
  return copy;
}

KyEdge* KyEdgeDListIter::pEdge() const { return KyEdge::castDown(pObject()); }
