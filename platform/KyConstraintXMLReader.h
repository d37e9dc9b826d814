// KyConstraintXMLReader: reads one constraint element.
#pragma once

#include <kyplatform/KyXMLReader.h>

class KyConstraint;

/// Reads one constraint element into a new constraint. The base makes the
/// constraint with pCreateConstraint(), from the element's name, makes it
/// the target, and reads the priority and name that every constraint has
/// (the "priority" and "name" attributes; 0 and the empty name when absent).
/// A service derives a reader that also reads its own kind of constraint,
/// after calling the base, and hands it out through its
/// KyServiceName::pConstraintReader(). Copies refer to the same parent and
/// target.
///
/// Whoever runs processDOMElement() owns the constraint it leaves as
/// target, whatever the result: the reader never deletes it.
class KYPLATFORM_EXPORT KyConstraintXMLReader : public KyXMLReader {
public:
  KyConstraintXMLReader() = default;
  KyConstraintXMLReader(const KyConstraintXMLReader&) = default;
  KyConstraintXMLReader& operator=(const KyConstraintXMLReader&) = default;
  ~KyConstraintXMLReader() override;

  /// The constraint being read: the target as a constraint, or null.
  KyConstraint* pConstraint() const;
  /// Makes the constraint and reads its priority and name. Returns 1; 0
  /// when pCreateConstraint() gives null (the target is then null) or the
  /// priority is not a whole number (the constraint made is deleted and the
  /// target is null).
  int processDOMElement(const xercesc::DOMElement& element) override;
  /// A new constraint for an element named `name`, which the caller takes;
  /// null when the name is not one of this reader's. The base makes a
  /// plain KyConstraint for any name.
  virtual KyConstraint* pCreateConstraint(const wchar_t* name);

  static KyConstraintXMLReader* castDown(const KyObject* object) {
    return static_cast<KyConstraintXMLReader*>(const_cast<KyObject*>(object));
  }
};
