// KyHashMap: a map from key objects to value objects, matched by value.
#pragma once

#include <kyplatform/KyObject.h>

#include <unordered_map>
#include <vector>

/// Map of objects to objects; keys are matched by hashCode() and equals().
///
/// The map owns its keys and values and ends its claim on them (vRelease)
/// when they leave it or the map goes. Entries keep their insertion order
/// for listing through pKeyAt() and pValueAt(). Lookup costs O(1) on average.
/// Not copyable.
class KYPLATFORM_EXPORT KyHashMap : public KyObject {
public:
  /// `size` is the number of entries expected; the map grows beyond it.
  explicit KyHashMap(int size);
  ~KyHashMap() override;
  KyHashMap(const KyHashMap&) = delete;
  KyHashMap& operator=(const KyHashMap&) = delete;

  /// Takes `key` and `value`. When an equal key is already present its value
  /// is replaced (and released) and the given key is released; the entry
  /// keeps its place in the order. A null key or value stores nothing and
  /// releases what was given.
  void put(KyObject* key, KyObject* value);
  /// The value under a key equal to `key`, or null.
  KyObject* pValue(const KyObject* key) const;
  /// Number of entries.
  int length() const { return static_cast<int>(entries_.size()); }
  /// Key and value of the entry at `index` in insertion order; null when
  /// `index` is out of range.
  KyObject* pKeyAt(int index) const;
  KyObject* pValueAt(int index) const;

  std::size_t sizeOf() const override;

  static KyHashMap* castDown(const KyObject* object) {
    return static_cast<KyHashMap*>(const_cast<KyObject*>(object));
  }

private:
  struct Entry {
    KyObject* key;
    KyObject* value;
  };
  int find(const KyObject* key, std::uint32_t hash) const;

  std::vector<Entry> entries_;
  std::unordered_multimap<std::uint32_t, int> index_;
};
