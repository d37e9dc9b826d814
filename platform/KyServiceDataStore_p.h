// KyServiceDataStore: the library's own reach into a data store's values.
// Internal to the platform library.
#pragma once

#include "KyValueStore_p.h"

#include <kyplatform/KyServiceData.h>

/// Hands the library's writers the value store behind a KyServiceData, to
/// walk it without making an object per value (KyValueStore::walk()).
struct KyServiceDataStore {
  static const KyValueStore& of(const KyServiceData& data) { return *data.values_; }
};
