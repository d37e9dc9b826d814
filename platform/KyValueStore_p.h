// KyValueStore: the (owner, key) -> value table behind the service data
// stores. Internal to the platform library; not installed.
#pragma once

#include <kyplatform/KyObject.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// Values keyed by (owner object, key text).
///
/// Entries are grouped per key text, so a lookup hashes the text once to
/// find a small per-key table, then probes an open-addressing index keyed by
/// the owner's hashCode() and equals(). The index holds 8-byte slots (an
/// entry's position and owner hash) that point into a dense array of
/// entries kept in order of storing, so a probe reads no entry but the one
/// it finds, and options read in the order they were stored touch the
/// entries in order. A lookup or a store costs O(length of the key) plus
/// O(1) on average. Values (and owners) handed over are released with
/// vRelease() when replaced, removed or when the store goes.
class KyValueStore {
public:
  KyValueStore();
  ~KyValueStore();
  KyValueStore(const KyValueStore&) = delete;
  KyValueStore& operator=(const KyValueStore&) = delete;

  /// Stores `value` under (owner, key), replacing what was there. A null
  /// value removes the entry. `ownsValue` hands the value over (the value
  /// the entry already owns stays owned either way); `ownsOwner`
  /// hands the owner over (it is kept as the entry's owner, or released when
  /// the entry already has an equal owner). Returns false, and releases
  /// whatever was handed over, when `key` is null.
  bool set(KyObject* owner, const wchar_t* key, KyObject* value, bool ownsValue, bool ownsOwner);
  /// The value under (owner, key), or null.
  KyObject* get(const KyObject* owner, const wchar_t* key) const;
  /// Number of entries.
  std::size_t size() const { return size_; }
  /// Calls `visit` once per entry, key by key, each key's entries in order
  /// of storing (a removal moves the last entry into the gap). The store
  /// must not change during the walk.
  void forEach(const std::function<void(const KyObject* owner, const wchar_t* key,
                                        KyObject* value)>& visit) const;

private:
  struct Table;

  // A key address seen by set() and the table it led to.
  struct KnownKey {
    const wchar_t* address = nullptr;
    Table* table = nullptr;
  };
  static constexpr std::size_t kKnownKeys = 64;

  Table* table(const wchar_t* key) const;
  static std::size_t knownSlot(const wchar_t* key);

  std::unordered_map<std::wstring_view, std::unique_ptr<Table>> tables_;
  std::array<KnownKey, kKnownKeys> known_{};
  std::size_t size_ = 0;
};
