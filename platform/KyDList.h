// KyDList: a doubly linked list of object references, and its cells.
#pragma once

#include <kyplatform/KyObject.h>

#include <cstddef>
#include <iterator>
#include <vector>

class KyDList;
template <class T> class KyDListIterator;

/// One cell of a KyDList. Cells are made by their list; a cell that a list
/// hands out unlinked (KyBinTree::searchAndRemoveObject) belongs to the
/// caller, who releases it with vRelease().
class KYPLATFORM_EXPORT KyDListCell : public KyObject {
public:
  /// A copy would claim a place in the list it does not hold.
  KyDListCell(const KyDListCell&) = delete;
  KyDListCell& operator=(const KyDListCell&) = delete;

  KyObject* pObject() const { return object_; }
  KyDListCell* pNext() const { return next_; }
  KyDListCell* pPrevious() const { return previous_; }
  /// The list the cell is linked into, or null once unlinked.
  const KyDList* pList() const { return list_; }

  std::size_t sizeOf() const override { return sizeof(KyDListCell); }

  static KyDListCell* castDown(const KyObject* object) {
    return static_cast<KyDListCell*>(const_cast<KyObject*>(object));
  }

private:
  friend class KyDList;
  explicit KyDListCell(KyObject* object) : object_(object) {}

  KyObject* object_;
  KyDListCell* next_ = nullptr;
  KyDListCell* previous_ = nullptr;
  KyDList* list_ = nullptr;
};

/// A standard forward iterator over the objects of a KyDList, from the
/// first to the last, so that lists read in range-based for loops:
/// `for (KyObject* object : list)`, `for (KyEdge* edge : path)`. It yields
/// the objects as `T*` without a check, as castDown() does. The list must
/// keep the current cell while the loop stands on it.
template <class T> class KyDListIterator {
public:
  using iterator_category = std::forward_iterator_tag;
  using value_type = T*;
  using difference_type = std::ptrdiff_t;
  using pointer = T* const*;
  using reference = T*;

  KyDListIterator() = default;
  explicit KyDListIterator(const KyDListCell* cell) : cell_(cell) {}

  T* operator*() const { return static_cast<T*>(cell_->pObject()); }
  KyDListIterator& operator++() {
    cell_ = cell_->pNext();
    return *this;
  }
  KyDListIterator operator++(int) {
    KyDListIterator before = *this;
    cell_ = cell_->pNext();
    return before;
  }
  bool operator==(const KyDListIterator& other) const { return cell_ == other.cell_; }
  bool operator!=(const KyDListIterator& other) const { return cell_ != other.cell_; }

private:
  const KyDListCell* cell_ = nullptr;
};

/// Doubly linked list of object references.
///
/// The list owns its cells, not the objects they refer to: deleting the list
/// or deleteAllCells() frees cells only; deleteAllCellsAndObjects() also
/// ends the list's claim on every object (vRelease). Appending, prepending,
/// discarding a cell and length() cost O(1). Not copyable: use
/// copyAllCells() or cloneObject().
///
/// Objects appended by appendObjects() to a list without cells stay packed,
/// one pointer each, until something asks for a cell: pFirstCell(),
/// pLastCell() and every change but another appendObjects() first give
/// them cells, in order, in O(length). length(), copyAllCells() from the
/// list and deleting it never do.
class KYPLATFORM_EXPORT KyDList : public KyObject {
public:
  KyDList() = default;
  ~KyDList() override;
  KyDList(const KyDList&) = delete;
  KyDList& operator=(const KyDList&) = delete;

  /// Adds a cell holding `object` at the end; returns it.
  virtual KyDListCell* appendObject(KyObject* object);
  /// Adds a cell holding `object` at the front; returns it.
  virtual KyDListCell* prependObject(KyObject* object);
  /// Appends `objects`, in order: packed while the list has no cells (an
  /// empty list takes the vector over), else one cell each. Lists that
  /// place their cells by an order of their own add them one by one.
  virtual void appendObjects(std::vector<KyObject*> objects);
  /// Unlinks and frees `cell` (not its object). A null cell, or one that is
  /// not linked into this list, is left alone.
  virtual void discardCell(KyDListCell* cell);
  /// Frees every cell; the objects are untouched.
  virtual void deleteAllCells();
  /// Frees every cell and releases every object once.
  virtual void deleteAllCellsAndObjects();

  /// Appends the objects of `other`, in order, to this list. Copying a list
  /// into itself doubles it once.
  void copyAllCells(const KyDList& other);
  /// A new list holding the same objects; the caller owns it.
  KyDList* cloneObject() const { return static_cast<KyDList*>(vCloneObject()); }

  int length() const { return length_; }
  /// The first object, for range-based for loops; gives packed objects
  /// their cells, as pFirstCell() does.
  KyDListIterator<KyObject> begin() const { return KyDListIterator<KyObject>(pFirstCell()); }
  KyDListIterator<KyObject> end() const { return KyDListIterator<KyObject>(); }
  KyDListCell* pFirstCell() const {
    if (!packed_.empty())
      unpack();
    return first_;
  }
  KyDListCell* pLastCell() const {
    if (!packed_.empty())
      unpack();
    return last_;
  }

  std::size_t sizeOf() const override;

  static KyDList* castDown(const KyObject* object) {
    return static_cast<KyDList*>(const_cast<KyObject*>(object));
  }

protected:
  virtual KyObject* vCloneObject() const;
  /// Makes a cell for `object` and links it before `next` (at the end when
  /// `next` is null).
  KyDListCell* linkBefore(KyObject* object, KyDListCell* next);
  /// Unlinks `cell` from this list without freeing it.
  void unlink(KyDListCell* cell);

private:
  /// Gives the packed objects their cells.
  void unpack() const;

  int length_ = 0;
  mutable KyDListCell* first_ = nullptr;
  mutable KyDListCell* last_ = nullptr;
  mutable std::vector<KyObject*> packed_; // objects without cells; then first_ is null
};

/// Walks a KyDList. Direction 1 starts at the first cell and ++ walks
/// forward; 2 starts at the last cell and ++ walks backward. -- steps
/// towards the first cell in either direction, so a walk from the last cell
/// may step with either. An iterator on a null or empty list is finished at
/// once. The list must not lose the current cell while the iterator stands
/// on it.
class KYPLATFORM_EXPORT KyDListIter {
public:
  explicit KyDListIter(const KyDList* list, int direction = KY_ITER_FORWARD);

  /// Non-zero while the iterator stands on a cell.
  operator int() const { return cell_ != nullptr ? 1 : 0; }
  KyDListIter& operator++() {
    if (cell_ != nullptr)
      cell_ = forward_ ? cell_->pNext() : cell_->pPrevious();
    return *this;
  }
  KyDListIter operator++(int) {
    KyDListIter before = *this;
    ++*this;
    return before;
  }
  KyDListIter& operator--() {
    if (cell_ != nullptr)
      cell_ = cell_->pPrevious();
    return *this;
  }
  KyDListIter operator--(int) {
    KyDListIter before = *this;
    --*this;
    return before;
  }

  KyDListCell* pCell() const { return cell_; }
  KyObject* pObject() const { return cell_ != nullptr ? cell_->pObject() : nullptr; }

private:
  KyDListCell* cell_;
  bool forward_;
};
