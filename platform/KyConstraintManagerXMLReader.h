// KyConstraintManagerXMLReader: reads the constraints of a manager element.
#pragma once

#include <kyplatform/KyXMLReader.h>

class KyConstraintManager;
class KyConstraintXMLReader;

/// Reads every child element of a constraint manager element as one
/// constraint, through the constraint reader, and inserts the constraints
/// into its target manager in document order. During each constraint the
/// constraint reader has this reader as its parent, so references resolve
/// through the chain of parents. The constraint reader and the manager are
/// the caller's. Not copyable.
class KYPLATFORM_EXPORT KyConstraintManagerXMLReader : public KyXMLReader {
public:
  KyConstraintManagerXMLReader() = default;
  ~KyConstraintManagerXMLReader() override;
  KyConstraintManagerXMLReader(const KyConstraintManagerXMLReader&) = delete;
  KyConstraintManagerXMLReader& operator=(const KyConstraintManagerXMLReader&) = delete;

  /// The reader of each constraint element, or null.
  KyConstraintXMLReader* pConstraintReader() const { return constraintReader_; }
  KyConstraintXMLReader* pConstraintReader(KyConstraintXMLReader* reader) {
    return constraintReader_ = reader;
  }
  /// The manager to fill: the target as a constraint manager.
  KyConstraintManager* pConstraintManager() const;
  KyConstraintManager* pConstraintManager(KyConstraintManager* manager);

  /// Reads the constraints and inserts them. Returns 1; 0 when there is no
  /// manager, or a constraint element is present but there is no
  /// constraint reader or it fails on one: then no constraint is inserted
  /// and every one made is deleted. Cost O(size of the element).
  int processDOMElement(const xercesc::DOMElement& element) override;

  static KyConstraintManagerXMLReader* castDown(const KyObject* object) {
    return static_cast<KyConstraintManagerXMLReader*>(const_cast<KyObject*>(object));
  }

private:
  KyConstraintXMLReader* constraintReader_ = nullptr;
};
