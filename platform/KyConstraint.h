// KyConstraint: the base of every constraint a request may carry.
#pragma once

#include <kyplatform/KyObject.h>

#include <string>

class KyConstraintManager;

/// A constraint with a priority and a name. A constraint belongs to at most
/// one KyConstraintManager at a time; deleting a constraint that is still in
/// a manager takes it out of that manager first.
class KYPLATFORM_EXPORT KyConstraint : public KyObject {
public:
  /// A null name is kept as the empty name.
  KyConstraint(long priority, const wchar_t* name);
  /// Copies priority and name; the copy belongs to no manager.
  KyConstraint(const KyConstraint& other);
  KyConstraint& operator=(const KyConstraint& other);
  ~KyConstraint() override;

  long priority() const { return priority_; }
  long priority(long priority) { return priority_ = priority; }
  const wchar_t* pName() const { return name_.c_str(); }
  /// The manager that holds the constraint, or null.
  KyConstraintManager* pManager() const { return manager_; }

  /// Both copy priority and name from another constraint; nothing happens
  /// for a null source, the object itself or an object of another class.
  void copyObject(const KyObject* source) override;
  void copyAttributes(const KyObject* source) override;

  static KyConstraint* castDown(const KyObject* object) {
    return static_cast<KyConstraint*>(const_cast<KyObject*>(object));
  }

private:
  friend class KyConstraintManager;
  long priority_;
  std::wstring name_;
  KyConstraintManager* manager_ = nullptr;
};
