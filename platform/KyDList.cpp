#include <kyplatform/KyDList.h>
#include <kyplatform/KyOwningDList.h>

#include <vector>

KyDList::~KyDList() { KyDList::deleteAllCells(); }

void KyDList::unpack() const {
  std::vector<KyObject*> objects;
  objects.swap(packed_);
  auto* self = const_cast<KyDList*>(this);
  const int length = length_;
  for (KyObject* object : objects)
    self->linkBefore(object, nullptr);
  self->length_ = length;
}

KyDListCell* KyDList::linkBefore(KyObject* object, KyDListCell* next) {
  if (!packed_.empty())
    unpack();
  auto* cell = new KyDListCell(object);
  cell->list_ = this;
  cell->next_ = next;
  cell->previous_ = next != nullptr ? next->previous_ : last_;
  if (cell->previous_ != nullptr)
    cell->previous_->next_ = cell;
  else
    first_ = cell;
  if (next != nullptr)
    next->previous_ = cell;
  else
    last_ = cell;
  ++length_;
  return cell;
}

void KyDList::unlink(KyDListCell* cell) {
  if (cell->previous_ != nullptr)
    cell->previous_->next_ = cell->next_;
  else
    first_ = cell->next_;
  if (cell->next_ != nullptr)
    cell->next_->previous_ = cell->previous_;
  else
    last_ = cell->previous_;
  cell->next_ = cell->previous_ = nullptr;
  cell->list_ = nullptr;
  --length_;
}

KyDListCell* KyDList::appendObject(KyObject* object) { return linkBefore(object, nullptr); }

KyDListCell* KyDList::prependObject(KyObject* object) { return linkBefore(object, pFirstCell()); }

void KyDList::appendObjects(std::vector<KyObject*> objects) {
  if (first_ != nullptr) {
    for (KyObject* object : objects)
      appendObject(object);
    return;
  }
  length_ += static_cast<int>(objects.size());
  if (packed_.empty())
    packed_ = std::move(objects);
  else
    packed_.insert(packed_.end(), objects.begin(), objects.end());
}

void KyDList::discardCell(KyDListCell* cell) {
  if (cell == nullptr || cell->list_ != this)
    return;
  unlink(cell);
  delete cell;
}

void KyDList::deleteAllCells() {
  packed_.clear();
  packed_.shrink_to_fit();
  KyDListCell* cell = first_;
  while (cell != nullptr) {
    KyDListCell* next = cell->next_;
    delete cell;
    cell = next;
  }
  first_ = last_ = nullptr;
  length_ = 0;
}

void KyDList::deleteAllCellsAndObjects() {
  // Detach the cells first: releasing an object may reach back into this list.
  std::vector<KyObject*> packed;
  packed.swap(packed_);
  KyDListCell* cell = first_;
  first_ = last_ = nullptr;
  length_ = 0;
  for (KyObject* object : packed)
    if (object != nullptr)
      object->vRelease();
  while (cell != nullptr) {
    KyDListCell* next = cell->next_;
    if (cell->object_ != nullptr)
      cell->object_->vRelease();
    delete cell;
    cell = next;
  }
}

void KyDList::copyAllCells(const KyDList& other) {
  if (&other != this) {
    for (KyObject* object : other.packed_)
      appendObject(object);
    for (KyDListCell* cell = other.first_; cell != nullptr; cell = cell->next_)
      appendObject(cell->object_);
    return;
  }
  // A list copied into itself may place the new cells anywhere (an ordered
  // subclass does), so take the objects before adding any.
  std::vector<KyObject*> objects(packed_);
  objects.reserve(static_cast<std::size_t>(length_));
  for (KyDListCell* cell = first_; cell != nullptr; cell = cell->next_)
    objects.push_back(cell->object_);
  for (KyObject* object : objects)
    appendObject(object);
}

KyObject* KyDList::vCloneObject() const {
  auto* copy = new KyDList;
  copy->copyAllCells(*this);
  return copy;
}

std::size_t KyDList::sizeOf() const {
  const std::size_t cells = static_cast<std::size_t>(length_) - packed_.size();
  return sizeof(KyDList) + cells * sizeof(KyDListCell) + packed_.capacity() * sizeof(KyObject*);
}

KyDListIter::KyDListIter(const KyDList* list, int direction)
    : cell_(list == nullptr                 ? nullptr
            : direction == KY_ITER_BACKWARD ? list->pLastCell()
                                            : list->pFirstCell()),
      forward_(direction != KY_ITER_BACKWARD) {}

KyOwningDList::~KyOwningDList() { deleteAllCellsAndObjects(); }
