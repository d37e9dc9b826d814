#include "KyValueStore_p.h"

#include <cwchar>

namespace {
constexpr std::uint32_t kOwnsValue = 1;
constexpr std::uint32_t kOwnsOwner = 2;

std::uint32_t ownerHash(const KyObject* owner) { return owner != nullptr ? owner->hashCode() : 0; }

bool sameOwner(const KyObject* a, const KyObject* b) {
  return a == b || (a != nullptr && b != nullptr && a->equals(b));
}

void release(KyObject* object) {
  if (object != nullptr)
    object->vRelease();
}
} // namespace

// One key's entries, in a dense array in order of storing, and an index
// over them: linear probing over a power-of-two array of 8-byte slots, kept
// at most seven eighths full. A slot holds the entry's position plus one (0
// marks an empty slot) and the entry's owner hash, so a probe passes over
// the slots of other owners without touching their entries; options stored
// in order and read back in order then touch the entries in order. Slots
// are placed by Fibonacci hashing of the owner's hash, which spreads
// identity hashes of neighbouring objects.
struct KyValueStore::Table {
  struct Entry {
    KyObject* owner;
    KyObject* value;
    std::uint32_t hash;
    std::uint32_t flags;
  };
  struct Slot {
    std::uint32_t position;
    std::uint32_t hash;
  };

  explicit Table(const wchar_t* text) : key(text) {}

  std::size_t home(std::uint32_t hash) const {
    return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ull) >> shift);
  }

  // Position plus one of the entry whose owner is `owner` itself, probed
  // under the identity hash; 0 when there is none. Most owners (nodes,
  // edges, the graph) hash by identity, so this finds them without touching
  // the owner object. The index must not be empty.
  std::uint32_t findSame(const KyObject* owner) const {
    const std::uint32_t hash = KyObject::identityHash(owner);
    const std::size_t mask = slots.size() - 1;
    for (std::size_t i = home(hash);; i = (i + 1) & mask) {
      const Slot slot = slots[i];
      if (slot.position == 0 || (slot.hash == hash && entries[slot.position - 1].owner == owner))
        return slot.position;
    }
  }

  // Index of the slot of the entry whose owner equals `owner`, or of the
  // empty slot where it would go. The index must not be empty.
  std::size_t find(const KyObject* owner, std::uint32_t hash) const {
    const std::size_t mask = slots.size() - 1;
    for (std::size_t i = home(hash);; i = (i + 1) & mask) {
      const Slot slot = slots[i];
      if (slot.position == 0 ||
          (slot.hash == hash && sameOwner(owner, entries[slot.position - 1].owner)))
        return i;
    }
  }

  // Rebuilds the index at twice the size (at least 8 slots).
  void grow() {
    slots.assign(slots.size() < 8 ? 8 : slots.size() * 2, Slot{0, 0});
    shift = 64;
    for (std::size_t n = slots.size(); n > 1; n >>= 1)
      --shift;
    const std::size_t mask = slots.size() - 1;
    for (std::size_t e = 0; e < entries.size(); ++e) {
      std::size_t i = home(entries[e].hash);
      while (slots[i].position != 0)
        i = (i + 1) & mask;
      slots[i] = Slot{static_cast<std::uint32_t>(e + 1), entries[e].hash};
    }
  }

  // Adds an entry, which must not be present, at the empty slot `at`.
  void insert(std::size_t at, const Entry& entry) {
    entries.push_back(entry);
    if (entries.size() * 8 > slots.size() * 7)
      grow();
    else
      slots[at] = Slot{static_cast<std::uint32_t>(entries.size()), entry.hash};
  }

  // Removes the entry of slot `hole`. Backward-shift deletion keeps every
  // probe chain unbroken; the last entry moves into the freed position.
  void erase(std::size_t hole) {
    const std::uint32_t freed = slots[hole].position;
    const std::size_t mask = slots.size() - 1;
    for (std::size_t i = (hole + 1) & mask; slots[i].position != 0; i = (i + 1) & mask) {
      const std::size_t want = home(slots[i].hash);
      if (((i - want) & mask) >= ((i - hole) & mask)) {
        slots[hole] = slots[i];
        hole = i;
      }
    }
    slots[hole] = Slot{0, 0};
    const auto last = static_cast<std::uint32_t>(entries.size());
    if (freed != last) {
      entries[freed - 1] = entries[last - 1];
      std::size_t i = home(entries[freed - 1].hash);
      while (slots[i].position != last)
        i = (i + 1) & mask;
      slots[i].position = freed;
    }
    entries.pop_back();
  }

  std::wstring key;
  std::vector<Entry> entries;
  std::vector<Slot> slots;
  unsigned shift = 64;
};

KyValueStore::KyValueStore() = default;

KyValueStore::~KyValueStore() {
  for (auto& table : tables_)
    for (const Table::Entry& entry : table.second->entries) {
      if (entry.flags & kOwnsValue)
        release(entry.value);
      if (entry.flags & kOwnsOwner)
        release(entry.owner);
    }
}

std::size_t KyValueStore::knownSlot(const wchar_t* key) {
  // The top six bits of a Fibonacci product: one of the 64 slots.
  static_assert(kKnownKeys == 64);
  const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key));
  return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> 58);
}

KyValueStore::Table* KyValueStore::table(const wchar_t* key) const {
  // Callers pass the same key constants again and again: try the table last
  // stored through this address, and trust it only if its text still
  // matches (a caller may reuse a buffer for another key).
  const KnownKey& known = known_[knownSlot(key)];
  if (known.address == key && std::wcscmp(known.table->key.c_str(), key) == 0)
    return known.table;
  const auto found = tables_.find(std::wstring_view(key));
  return found != tables_.end() ? found->second.get() : nullptr;
}

bool KyValueStore::set(KyObject* owner, const wchar_t* key, KyObject* value, bool ownsValue,
                       bool ownsOwner) {
  if (key == nullptr) {
    if (ownsValue)
      release(value);
    if (ownsOwner)
      release(owner);
    return false;
  }
  const std::uint32_t hash = ownerHash(owner);
  Table* t = table(key);
  if (t == nullptr && value != nullptr) {
    auto made = std::make_unique<Table>(key);
    t = made.get();
    tables_.emplace(std::wstring_view(t->key), std::move(made));
  }
  if (t != nullptr)
    known_[knownSlot(key)] = KnownKey{key, t};
  if (t == nullptr || t->slots.empty()) {
    if (value == nullptr) {
      if (ownsOwner)
        release(owner);
      return true;
    }
    t->grow();
  }
  const std::size_t at = t->find(owner, hash);
  const std::uint32_t position = t->slots[at].position;
  if (position == 0) {
    if (value == nullptr) {
      if (ownsOwner)
        release(owner);
      return true;
    }
    t->insert(at, Table::Entry{owner, value, hash,
                               (ownsValue ? kOwnsValue : 0u) | (ownsOwner ? kOwnsOwner : 0u)});
    ++size_;
    return true;
  }

  // Replace or remove an existing entry.
  Table::Entry& entry = t->entries[position - 1];
  KyObject* oldValue = entry.value;
  const bool ownedOld = (entry.flags & kOwnsValue) != 0;
  if (ownsOwner) {
    if (owner != entry.owner && (entry.flags & kOwnsOwner) != 0)
      release(owner); // keep the equal owner already held
    entry.owner = (entry.flags & kOwnsOwner) != 0 ? entry.owner : owner;
    entry.flags |= kOwnsOwner;
  }
  if (value == nullptr) {
    if (entry.flags & kOwnsOwner)
      release(entry.owner);
    t->erase(at);
    --size_;
  } else {
    // Storing the held value again keeps the store's claim on it, even when
    // it comes back as a reference: nobody else holds that claim.
    const bool keepsValue = ownsValue || (ownedOld && oldValue == value);
    entry.value = value;
    entry.flags = (entry.flags & kOwnsOwner) | (keepsValue ? kOwnsValue : 0u);
  }
  if (ownedOld && oldValue != value)
    release(oldValue);
  return true;
}

KyObject* KyValueStore::get(const KyObject* owner, const wchar_t* key) const {
  if (key == nullptr)
    return nullptr;
  const Table* t = table(key);
  if (t == nullptr || t->entries.empty())
    return nullptr;
  std::uint32_t position = t->findSame(owner);
  if (position == 0)
    position = t->slots[t->find(owner, ownerHash(owner))].position;
  return position != 0 ? t->entries[position - 1].value : nullptr;
}

void KyValueStore::forEach(const std::function<void(const KyObject* owner, const wchar_t* key,
                                                    KyObject* value)>& visit) const {
  for (const auto& table : tables_)
    for (const Table::Entry& entry : table.second->entries)
      visit(entry.owner, table.second->key.c_str(), entry.value);
}
