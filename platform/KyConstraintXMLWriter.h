// KyConstraintXMLWriter: writes one constraint element.
#pragma once

#include <kyplatform/KyXMLWriter.h>

class KyConstraint;

/// Writes its target constraint into an element named pNameForConstraint()
/// that the constraint manager writer makes. The base writes the priority
/// and the name common to every constraint, as the "priority" and "name"
/// attributes; a service derives a writer that also writes its own kind of
/// constraint, after calling the base, and hands it out through its
/// KyServiceName::pConstraintWriter(). Copies refer to the same parent and
/// target.
class KYPLATFORM_EXPORT KyConstraintXMLWriter : public KyXMLWriter {
public:
  KyConstraintXMLWriter() = default;
  KyConstraintXMLWriter(const KyConstraintXMLWriter&) = default;
  KyConstraintXMLWriter& operator=(const KyConstraintXMLWriter&) = default;
  ~KyConstraintXMLWriter() override;

  /// The constraint being written: the target as a constraint, or null.
  KyConstraint* pConstraint() const;
  /// Writes the priority and the name of pConstraint(). Returns 1, or 0
  /// when the target is not a constraint.
  int populateDOMElement(xercesc::DOMElement& element) override;
  /// The element name for `constraint`, a valid XML name; the base gives
  /// "constraint" for any.
  virtual const wchar_t* pNameForConstraint(KyConstraint* constraint);

  static KyConstraintXMLWriter* castDown(const KyObject* object) {
    return static_cast<KyConstraintXMLWriter*>(const_cast<KyObject*>(object));
  }
};
