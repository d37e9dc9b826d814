// KyObjectTable: identifiers of objects shared between a document and its caller.
#pragma once

#include <kyanalysis/KyObject.h>

/// The identifiers under which a reader or writer knows the objects of a
/// document, handed between it and its caller. It holds nothing yet.
class KYPLATFORM_EXPORT KyObjectTable : public KyObject {
public:
  static KyObjectTable* castDown(const KyObject* object) {
    return static_cast<KyObjectTable*>(const_cast<KyObject*>(object));
  }
};
