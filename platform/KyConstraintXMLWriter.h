// KyConstraintXMLWriter: writes the content of one constraint.
#pragma once

#include <kyanalysis/KyObject.h>

/// Base of the writers a service hands out for its constraints. It writes
/// nothing yet.
class KYPLATFORM_EXPORT KyConstraintXMLWriter : public KyObject {
public:
  static KyConstraintXMLWriter* castDown(const KyObject* object) {
    return static_cast<KyConstraintXMLWriter*>(const_cast<KyObject*>(object));
  }
};
