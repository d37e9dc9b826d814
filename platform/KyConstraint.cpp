#include <kyplatform/KyConstraint.h>
#include <kyplatform/KyConstraintManager.h>

KyConstraint::KyConstraint(long priority, const wchar_t* name)
    : priority_(priority), name_(name != nullptr ? name : L"") {}

KyConstraint::KyConstraint(const KyConstraint& other)
    : KyObject(other), priority_(other.priority_), name_(other.name_) {}

KyConstraint& KyConstraint::operator=(const KyConstraint& other) {
  copyObject(&other);
  return *this;
}

KyConstraint::~KyConstraint() {
  if (manager_ != nullptr)
    manager_->removeConstraint(this);
}

void KyConstraint::copyObject(const KyObject* source) {
  const auto* that = dynamic_cast<const KyConstraint*>(source);
  if (that == nullptr || that == this)
    return;
  KyObject::copyObject(source);
  priority_ = that->priority_;
  name_ = that->name_;
}

// A constraint owns no sub-object, so its attribute copy is its deep copy.
void KyConstraint::copyAttributes(const KyObject* source) { KyConstraint::copyObject(source); }

KyConstraintManager::~KyConstraintManager() { discardAllConstraints(); }

KyConstraint* KyConstraintManager::insertConstraint(KyConstraint* constraint) {
  if (constraint == nullptr || constraint->manager_ != nullptr)
    return nullptr;
  constraint->manager_ = this;
  constraints_.appendObject(constraint);
  return constraint;
}

KyConstraint* KyConstraintManager::removeConstraint(KyConstraint* constraint) {
  if (constraint == nullptr || constraint->manager_ != this)
    return nullptr;
  for (KyDListCell* cell = constraints_.pFirstCell(); cell != nullptr; cell = cell->pNext())
    if (cell->pObject() == constraint) {
      constraints_.discardCell(cell);
      break;
    }
  constraint->manager_ = nullptr;
  return constraint;
}

void KyConstraintManager::discardConstraint(KyConstraint* constraint) {
  if (removeConstraint(constraint) != nullptr)
    constraint->vRelease();
}

void KyConstraintManager::discardAllConstraints() {
  // Unhook every constraint first so that their destructors leave the list alone.
  for (KyDListCell* cell = constraints_.pFirstCell(); cell != nullptr; cell = cell->pNext())
    KyConstraint::castDown(cell->pObject())->manager_ = nullptr;
  constraints_.deleteAllCellsAndObjects();
}
