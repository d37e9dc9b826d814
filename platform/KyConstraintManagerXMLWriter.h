// KyConstraintManagerXMLWriter: writes the constraints of a manager.
#pragma once

#include <kyplatform/KyXMLWriter.h>

class KyConstraintManager;
class KyConstraintXMLWriter;

/// Writes its target constraint manager into a constraint manager element:
/// the "parent" attribute names the owner (the object the manager is kept
/// for, usually the graph; none for a null owner), then one child element
/// per constraint, in the manager's order, named by the constraint writer's
/// pNameForConstraint() and filled by the constraint writer, which has this
/// writer as its parent meanwhile. The constraint writer, the manager and
/// the owner are the caller's. Not copyable.
class KYPLATFORM_EXPORT KyConstraintManagerXMLWriter : public KyXMLWriter {
public:
  KyConstraintManagerXMLWriter() = default;
  ~KyConstraintManagerXMLWriter() override;
  KyConstraintManagerXMLWriter(const KyConstraintManagerXMLWriter&) = delete;
  KyConstraintManagerXMLWriter& operator=(const KyConstraintManagerXMLWriter&) = delete;

  /// The writer of each constraint, or null.
  KyConstraintXMLWriter* pConstraintWriter() const { return constraintWriter_; }
  KyConstraintXMLWriter* pConstraintWriter(KyConstraintXMLWriter* writer) {
    return constraintWriter_ = writer;
  }
  /// The object named by the "parent" attribute, or null.
  KyObject* pOwner() const { return owner_; }
  KyObject* pOwner(KyObject* owner) { return owner_ = owner; }
  /// The manager to write: the target as a constraint manager.
  KyConstraintManager* pConstraintManager() const;

  /// Returns 1; 0 when there is no manager, or it holds a constraint but
  /// there is no constraint writer or it fails on one. Cost O(number of
  /// constraints) plus the constraint writer's.
  int populateDOMElement(xercesc::DOMElement& element) override;
  /// As populateDOMElement(), into the stream; each constraint is made as
  /// a DOM element of its own and then written.
  int writeElement(KyXMLStream& out) override;

  static KyConstraintManagerXMLWriter* castDown(const KyObject* object) {
    return static_cast<KyConstraintManagerXMLWriter*>(const_cast<KyObject*>(object));
  }

private:
  KyConstraintXMLWriter* constraintWriter_ = nullptr;
  KyObject* owner_ = nullptr;
};
