// KySerializer: turns a request into a byte string and back.
#pragma once

#include <kyplatform/KyObject.h>

class KyObjectTable;
class KyServiceInputData;
class KyServiceOutputData;

/// Hooks through which the framework moves a request between processes,
/// and its answer back. The base knows no format: every hook does nothing
/// and returns 0. A service derives its own serializer.
class KYPLATFORM_EXPORT KySerializer : public KyObject {
public:
  KySerializer() = default;
  KySerializer(const KySerializer&) = default;
  KySerializer& operator=(const KySerializer&) = default;

  /// Reads the request held in the zero-terminated `bytes` into `data`.
  /// Returns 1 when it was read, 0 when nothing was read.
  virtual int pInputDataFromString(const unsigned char* bytes, KyObjectTable* table,
                                   KyServiceInputData* data) const;
  /// Writes `data` as a new byte string into `bytes` (the caller frees it
  /// with array delete) and its length into `*length`. Returns 1 when a
  /// string was made, 0 when `bytes` and `*length` were left untouched.
  virtual int pInputDataToString(KyServiceInputData* data, KyObjectTable* table,
                                 unsigned char*& bytes, unsigned long* length) const;
  /// Reads the answer held in the zero-terminated `bytes` into `data`,
  /// naming the request's objects through `table`, the table the request
  /// was written or read with. Returns 1 when it was read, 0 when nothing
  /// was read.
  virtual int pOutputDataFromString(const unsigned char* bytes, KyObjectTable* table,
                                    KyServiceOutputData* data) const;
  /// Writes the answer `data` as a new byte string into `bytes` (the caller
  /// frees it with array delete) and its length into `*length`, naming the
  /// request's objects through `table`. Returns 1 when a string was made, 0
  /// when `bytes` and `*length` were left untouched.
  virtual int pOutputDataToString(KyServiceOutputData* data, KyObjectTable* table,
                                  unsigned char*& bytes, unsigned long* length) const;

  static KySerializer* castDown(const KyObject* object) {
    return static_cast<KySerializer*>(const_cast<KyObject*>(object));
  }
};
