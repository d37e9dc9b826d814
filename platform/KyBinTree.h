// KyBinTree: a KyDList whose cells stay ordered by a comparison.
#pragma once

#include <kyplatform/KyDList.h>

#include <memory>

/// Ordered list backed by a balanced search index.
///
/// Cells stay sorted by virtualObjectCompare(); objects that compare equal
/// keep their order of adding. Every way of adding a cell (addObject,
/// appendObject, prependObject) inserts at the ordered place. Adding,
/// searchAndRemoveObject() and discardCell() cost O(log n); pFirstCell() is a
/// cell of least key in O(1). An object's key must not change while it is in
/// the tree. Like every KyDList, the tree owns its cells, not their objects.
class KYPLATFORM_EXPORT KyBinTree : public KyDList {
public:
  KyBinTree();
  ~KyBinTree() override;

  /// Inserts `object` at its ordered place, after the objects equal to it.
  KyDListCell* addObject(KyObject* object);
  /// Unlinks the cell that holds exactly `object` (not merely an equal one)
  /// and hands it to the caller, who releases it; null when absent.
  KyDListCell* searchAndRemoveObject(const KyObject* object);

  KyDListCell* appendObject(KyObject* object) override { return addObject(object); }
  KyDListCell* prependObject(KyObject* object) override { return addObject(object); }
  void appendObjects(std::vector<KyObject*> objects) override {
    for (KyObject* object : objects)
      addObject(object);
  }
  void discardCell(KyDListCell* cell) override;
  void deleteAllCells() override;
  void deleteAllCellsAndObjects() override;

  static KyBinTree* castDown(const KyObject* object) {
    return static_cast<KyBinTree*>(const_cast<KyObject*>(object));
  }

protected:
  /// The order: negative, zero or positive as `a` goes before, with or after `b`.
  virtual int virtualObjectCompare(const KyObject* a, const KyObject* b) const = 0;

private:
  struct Index;
  std::unique_ptr<Index> index_;
};

/// A KyBinTree ordered by hashCode() unless a subclass overrides
/// virtualObjectCompare() with a meaningful order.
class KYPLATFORM_EXPORT KySortedBinTree : public KyBinTree {
public:
  static KySortedBinTree* castDown(const KyObject* object) {
    return static_cast<KySortedBinTree*>(const_cast<KyObject*>(object));
  }

protected:
  int virtualObjectCompare(const KyObject* a, const KyObject* b) const override;
};
