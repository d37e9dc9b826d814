#include <kyplatform/KyHashMap.h>

namespace {
void release(KyObject* object) {
  if (object != nullptr)
    object->vRelease();
}
} // namespace

KyHashMap::KyHashMap(int size) {
  if (size > 0) {
    entries_.reserve(static_cast<std::size_t>(size));
    index_.reserve(static_cast<std::size_t>(size));
  }
}

KyHashMap::~KyHashMap() {
  for (Entry& entry : entries_) {
    release(entry.key);
    release(entry.value);
  }
}

int KyHashMap::find(const KyObject* key, std::uint32_t hash) const {
  const auto range = index_.equal_range(hash);
  for (auto it = range.first; it != range.second; ++it) {
    const KyObject* candidate = entries_[static_cast<std::size_t>(it->second)].key;
    if (candidate == key || key->equals(candidate))
      return it->second;
  }
  return -1;
}

void KyHashMap::put(KyObject* key, KyObject* value) {
  if (key == nullptr || value == nullptr) {
    release(key);
    release(value);
    return;
  }
  const std::uint32_t hash = key->hashCode();
  const int at = find(key, hash);
  if (at < 0) {
    index_.emplace(hash, length());
    entries_.push_back({key, value});
    return;
  }
  Entry& entry = entries_[static_cast<std::size_t>(at)];
  if (entry.value != value) {
    release(entry.value);
    entry.value = value;
  }
  if (entry.key != key)
    release(key);
}

KyObject* KyHashMap::pValue(const KyObject* key) const {
  if (key == nullptr)
    return nullptr;
  const int at = find(key, key->hashCode());
  return at < 0 ? nullptr : entries_[static_cast<std::size_t>(at)].value;
}

KyObject* KyHashMap::pKeyAt(int index) const {
  return index >= 0 && index < length() ? entries_[static_cast<std::size_t>(index)].key : nullptr;
}

KyObject* KyHashMap::pValueAt(int index) const {
  return index >= 0 && index < length() ? entries_[static_cast<std::size_t>(index)].value : nullptr;
}

std::size_t KyHashMap::sizeOf() const {
  return sizeof(KyHashMap) + entries_.capacity() * sizeof(Entry);
}
