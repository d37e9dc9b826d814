// KyConstraintXMLReader: reads the content of one constraint.
#pragma once

#include <kyanalysis/KyObject.h>

/// Base of the readers a service hands out for its constraints. It reads
/// nothing yet.
class KYPLATFORM_EXPORT KyConstraintXMLReader : public KyObject {
public:
  static KyConstraintXMLReader* castDown(const KyObject* object) {
    return static_cast<KyConstraintXMLReader*>(const_cast<KyObject*>(object));
  }
};
