#include <kyplatform/KyBinTree.h>

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
  using Cells = std::multiset<KyDListCell*, Less>;
  explicit Index(const KyBinTree* tree) : cells(Less{tree}) {}
  Cells::const_iterator locate(const KyObject* object) const;
  Cells cells;
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

// The index position of the cell holding exactly `object`, or end(). Scans
// the run of equal keys from its start and stops at the match, so taking
// the first of many ties costs O(log n).
auto KyBinTree::Index::locate(const KyObject* object) const -> Cells::const_iterator {
  for (auto it = cells.lower_bound(object); it != cells.end(); ++it) {
    if ((*it)->pObject() == object)
      return it;
    if (cells.key_comp()(object, *it))
      break;
  }
  return cells.end();
}

KyDListCell* KyBinTree::searchAndRemoveObject(const KyObject* object) {
  const auto at = index_->locate(object);
  if (at == index_->cells.end())
    return nullptr;
  KyDListCell* cell = *at;
  index_->cells.erase(at);
  unlink(cell);
  return cell;
}

void KyBinTree::discardCell(KyDListCell* cell) {
  if (cell == nullptr || cell->pList() != this)
    return;
  for (auto it = index_->locate(cell->pObject()); it != index_->cells.end(); ++it)
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
