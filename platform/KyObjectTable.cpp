#include <kyplatform/KyObjectTable.h>

#include "KyXMLText_p.h"

#include <algorithm>
#include <cwchar>

namespace {
constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);
constexpr std::size_t kFirstCapacity = 16;

std::uint32_t hashOfID(const wchar_t* id, std::size_t length) {
  std::uint32_t hash = 2166136261u; // FNV-1a, then a final mix
  for (std::size_t i = 0; i < length; ++i)
    hash = (hash ^ static_cast<std::uint32_t>(id[i])) * 16777619u;
  hash ^= hash >> 16;
  hash *= 0x7FEB352Du;
  hash ^= hash >> 15;
  return hash;
}
} // namespace

KyObjectTable::~KyObjectTable() = default;

std::size_t KyObjectTable::findID(const wchar_t* id, std::size_t length, std::uint32_t hash) const {
  if (byID_.empty())
    return kNotFound;
  const std::size_t mask = byID_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t taken = byID_[slot];
    if (taken == kFree)
      return kNotFound;
    const Entry& entry = entries_[taken - 1];
    if (entry.object != nullptr && entry.length == length &&
        std::wmemcmp(entry.text(), id, length) == 0)
      return taken - 1;
  }
}

std::size_t KyObjectTable::findObject(const KyObject* object) const {
  if (byObject_.empty())
    return kNotFound;
  const std::size_t mask = byObject_.size() - 1;
  for (std::size_t slot = KyObject::identityHash(object) & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t taken = byObject_[slot];
    if (taken == kFree)
      return kNotFound;
    if (entries_[taken - 1].object == object)
      return taken - 1;
  }
}

void KyObjectTable::drop(std::size_t entry) {
  Entry& dropped = entries_[entry];
  dropped.object = nullptr;
  dropped.longText.reset();
  free_.push_back(static_cast<std::uint32_t>(entry));
  --live_;
}

void KyObjectTable::index(std::size_t entry, std::uint32_t hash) {
  const auto taken = static_cast<std::uint32_t>(entry + 1);
  const std::size_t mask = byID_.size() - 1;
  std::size_t slot = hash & mask;
  while (byID_[slot] != kFree)
    slot = (slot + 1) & mask;
  byID_[slot] = taken;
  slot = KyObject::identityHash(entries_[entry].object) & mask;
  while (byObject_[slot] != kFree)
    slot = (slot + 1) & mask;
  byObject_[slot] = taken;
  ++usedSlots_;
}

void KyObjectTable::rebuild(std::size_t capacity) {
  byID_.assign(capacity, kFree);
  byObject_.assign(capacity, kFree);
  usedSlots_ = 0;
  for (std::size_t entry = 0; entry < entries_.size(); ++entry)
    if (const Entry& kept = entries_[entry]; kept.object != nullptr)
      index(entry, hashOfID(kept.text(), kept.length));
}

const wchar_t* KyObjectTable::pID(const KyObject* object) const {
  const std::size_t entry = object != nullptr ? findObject(object) : kNotFound;
  return entry != kNotFound ? entries_[entry].text() : nullptr;
}

KyObject* KyObjectTable::pObject(const wchar_t* id) const {
  if (id == nullptr)
    return nullptr;
  const std::size_t length = std::wcslen(id);
  const std::size_t entry = findID(id, length, hashOfID(id, length));
  return entry != kNotFound ? entries_[entry].object : nullptr;
}

int KyObjectTable::setID(const wchar_t* id, KyObject* object) {
  if (object == nullptr || !validID(id))
    return 0;
  const std::size_t length = std::wcslen(id);
  const std::uint32_t hash = hashOfID(id, length);
  if (const std::size_t named = findObject(object); named != kNotFound) {
    const Entry& entry = entries_[named];
    if (entry.length == length && std::wmemcmp(entry.text(), id, length) == 0)
      return 1;
    drop(named);
  }
  if (const std::size_t former = findID(id, length, hash); former != kNotFound)
    drop(former);

  if ((usedSlots_ + 1) * 2 > byID_.size()) {
    // Room for as many registrations again before the next rebuild.
    std::size_t capacity = kFirstCapacity;
    while (capacity < 4 * (static_cast<std::size_t>(live_) + 1))
      capacity *= 2;
    rebuild(capacity);
  }
  std::size_t made;
  if (!free_.empty()) {
    made = free_.back();
    free_.pop_back();
  } else {
    made = entries_.size();
    entries_.emplace_back();
  }
  Entry& entry = entries_[made];
  entry.object = object;
  entry.length = static_cast<std::uint32_t>(length);
  wchar_t* text = entry.inlineText;
  if (length > Entry::kInline) {
    entry.longText = std::make_unique<wchar_t[]>(length + 1);
    text = entry.longText.get();
  }
  std::copy(id, id + length + 1, text);
  ++live_;
  index(made, hash);
  return 1;
}

void KyObjectTable::merge(const KyObjectTable& other) {
  if (&other == this)
    return;
  for (const Entry& entry : other.entries_)
    if (entry.object != nullptr)
      setID(entry.text(), entry.object);
}

void KyObjectTable::clear() {
  entries_.clear();
  free_.clear();
  byID_.clear();
  byObject_.clear();
  usedSlots_ = 0;
  live_ = 0;
}

int KyObjectTable::validID(const wchar_t* id) {
  if (id == nullptr || *id == 0)
    return 0;
  for (const wchar_t* c = id; *c != 0; ++c)
    if (KyXMLText::isSpace(*c))
      return 0;
  return 1;
}
