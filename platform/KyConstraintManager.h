// KyConstraintManager: the constraints of one request.
#pragma once

#include <kyplatform/KyDList.h>

class KyConstraint;

/// Holds constraints in order of insertion and owns them. Inserting costs
/// O(1); removing or discarding one costs O(number of constraints).
/// Not copyable.
class KYPLATFORM_EXPORT KyConstraintManager : public KyObject {
public:
  /// `graphManager` is the object the constraints are about (usually the
  /// graph, or null); it is not owned.
  explicit KyConstraintManager(KyObject* graphManager = nullptr) : graphManager_(graphManager) {}
  ~KyConstraintManager() override;
  KyConstraintManager(const KyConstraintManager&) = delete;
  KyConstraintManager& operator=(const KyConstraintManager&) = delete;

  KyObject* pGraphManager() const { return graphManager_; }

  /// Takes `constraint` and appends it; returns it. A null constraint, or
  /// one already held by a manager (this one or another), is refused: the
  /// result is null and nothing changes.
  KyConstraint* insertConstraint(KyConstraint* constraint);
  /// Takes `constraint` out and hands it back to the caller, who then owns
  /// it; null when this manager does not hold it.
  KyConstraint* removeConstraint(KyConstraint* constraint);
  /// Takes `constraint` out and deletes it; nothing when this manager does
  /// not hold it.
  void discardConstraint(KyConstraint* constraint);
  /// Deletes every constraint.
  void discardAllConstraints();
  /// The constraints, in order of insertion.
  const KyDList* pConstraintList() const { return &constraints_; }

  static KyConstraintManager* castDown(const KyObject* object) {
    return static_cast<KyConstraintManager*>(const_cast<KyObject*>(object));
  }

private:
  KyObject* graphManager_;
  KyDList constraints_;
};
