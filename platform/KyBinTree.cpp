#include <kyanalysis/KyBinTree.h>

#include <set>

// The index orders cells by their objects through the tree's comparison.
// std::multiset inserts equal keys after the existing ones, which keeps
// equal objects in their order of adding.
struct KyBinTree::Index {
  struct Less {
    using is_transparent = void;
    const KyBinTree* tree;
    bool operator()(const KyDListCell* a, const KyDListCell* b) const {
      return tree->virtualObjectCompare(a->pObject(), b->pObject()) < 0;
    }
    bool operator()(const KyDListCell* a, const KyObject* b) const {
      return tree->virtualObjectCompare(a->pObject(), b) < 0;
    }
    bool operator()(const KyObject* a, const KyDListCell* b) const {
      return tree->virtualObjectCompare(a, b->pObject()) < 0;
    }
  };
  explicit Index(const KyBinTree* tree) : cells(Less{tree}) {}
  std::multiset<KyDListCell*, Less> cells;
};

KyBinTree::KyBinTree() : index_(std::make_unique<Index>(this)) {}

KyBinTree::~KyBinTree() { index_->cells.clear(); }

KyDListCell* KyBinTree::addObject(KyObject* object) {
  // Find the place first: the cell must not sit in the index before it is
  // linked, and the comparison only needs the object.
  auto next = index_->cells.upper_bound(object);
  KyDListCell* cell = linkBefore(object, next == index_->cells.end() ? nullptr : *next);
  index_->cells.insert(next, cell);
  return cell;
}

KyDListCell* KyBinTree::searchAndRemoveObject(const KyObject* object) {
  auto range = index_->cells.equal_range(object);
  for (auto it = range.first; it != range.second; ++it) {
    KyDListCell* cell = *it;
    if (cell->pObject() == object) {
      index_->cells.erase(it);
      unlink(cell);
      return cell;
    }
  }
  return nullptr;
}

void KyBinTree::discardCell(KyDListCell* cell) {
  if (cell == nullptr || cell->pList() != this)
    return;
  auto range = index_->cells.equal_range(cell->pObject());
  for (auto it = range.first; it != range.second; ++it)
    if (*it == cell) {
      index_->cells.erase(it);
      break;
    }
  KyDList::discardCell(cell);
}

void KyBinTree::deleteAllCells() {
  index_->cells.clear();
  KyDList::deleteAllCells();
}

void KyBinTree::deleteAllCellsAndObjects() {
  index_->cells.clear();
  KyDList::deleteAllCellsAndObjects();
}

int KySortedBinTree::virtualObjectCompare(const KyObject* a, const KyObject* b) const {
  const std::uint32_t ha = a != nullptr ? a->hashCode() : 0;
  const std::uint32_t hb = b != nullptr ? b->hashCode() : 0;
  return ha < hb ? -1 : ha > hb ? 1 : 0;
}
