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

// One key's entries: linear probing over a power-of-two array, kept at most
// seven eighths full. Slots are placed by Fibonacci hashing of the owner's
// hash, which spreads identity hashes of neighbouring objects.
struct KyValueStore::Table {
  explicit Table(const wchar_t* text) : key(text) {}

  std::size_t home(std::uint32_t hash) const {
    return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ull) >> shift);
  }

  // Index of the slot holding an owner equal to `owner`, or of the empty
  // slot where it would go.
  std::size_t find(const KyObject* owner, std::uint32_t hash) const {
    const std::size_t mask = slots.size() - 1;
    for (std::size_t i = home(hash);; i = (i + 1) & mask) {
      const Slot& slot = slots[i];
      if (slot.value == nullptr || (slot.hash == hash && sameOwner(owner, slot.owner)))
        return i;
    }
  }

  void grow() {
    std::vector<Slot> old(slots.size() < 8 ? 8 : slots.size() * 2, Slot{nullptr, nullptr, 0, 0});
    old.swap(slots);
    shift = 64;
    for (std::size_t n = slots.size(); n > 1; n >>= 1)
      --shift;
    for (const Slot& slot : old)
      if (slot.value != nullptr)
        slots[find(slot.owner, slot.hash)] = slot;
  }

  // Backward-shift deletion keeps every probe chain unbroken.
  void erase(std::size_t hole) {
    const std::size_t mask = slots.size() - 1;
    for (std::size_t i = (hole + 1) & mask; slots[i].value != nullptr; i = (i + 1) & mask) {
      const std::size_t want = home(slots[i].hash);
      if (((i - want) & mask) >= ((i - hole) & mask)) {
        slots[hole] = slots[i];
        hole = i;
      }
    }
    slots[hole] = Slot{nullptr, nullptr, 0, 0};
    --count;
  }

  std::wstring key;
  std::vector<Slot> slots;
  std::size_t count = 0;
  unsigned shift = 64;
};

KyValueStore::KyValueStore() = default;

KyValueStore::~KyValueStore() {
  for (auto& entry : tables_)
    for (Slot& slot : entry.second->slots) {
      if (slot.value == nullptr)
        continue;
      if (slot.flags & kOwnsValue)
        release(slot.value);
      if (slot.flags & kOwnsOwner)
        release(slot.owner);
    }
}

KyValueStore::Table* KyValueStore::table(const wchar_t* key) const {
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
  if (t == nullptr || t->slots.empty()) {
    if (value == nullptr) {
      if (ownsOwner)
        release(owner);
      return true;
    }
    t->grow();
  }
  std::size_t at = t->find(owner, hash);
  Slot* slot = &t->slots[at];
  if (slot->value == nullptr) {
    if (value == nullptr) {
      if (ownsOwner)
        release(owner);
      return true;
    }
    if ((t->count + 1) * 8 > t->slots.size() * 7) {
      t->grow();
      at = t->find(owner, hash);
      slot = &t->slots[at];
    }
    *slot = Slot{owner, value, hash, (ownsValue ? kOwnsValue : 0) | (ownsOwner ? kOwnsOwner : 0)};
    ++t->count;
    ++size_;
    return true;
  }

  // Replace or remove an existing entry.
  KyObject* oldValue = slot->value;
  const bool ownedOld = (slot->flags & kOwnsValue) != 0;
  if (ownsOwner) {
    if (owner != slot->owner && (slot->flags & kOwnsOwner) != 0)
      release(owner); // keep the equal owner already held
    slot->owner = (slot->flags & kOwnsOwner) != 0 ? slot->owner : owner;
    slot->flags |= kOwnsOwner;
  }
  if (value == nullptr) {
    if (slot->flags & kOwnsOwner)
      release(slot->owner);
    t->erase(at);
    --size_;
  } else {
    // Storing the held value again keeps the store's claim on it, even when
    // it comes back as a reference: nobody else holds that claim.
    const bool keepsValue = ownsValue || (ownedOld && oldValue == value);
    slot->value = value;
    slot->flags = (slot->flags & kOwnsOwner) | (keepsValue ? kOwnsValue : 0);
  }
  if (ownedOld && oldValue != value)
    release(oldValue);
  return true;
}

KyObject* KyValueStore::get(const KyObject* owner, const wchar_t* key) const {
  if (key == nullptr)
    return nullptr;
  const Table* t = table(key);
  if (t == nullptr || t->count == 0)
    return nullptr;
  return t->slots[t->find(owner, ownerHash(owner))].value;
}

void KyValueStore::forEach(
    const std::function<void(const KyObject* owner, const wchar_t* key, KyObject* value)>& visit)
    const {
  for (const auto& entry : tables_)
    for (const Slot& slot : entry.second->slots)
      if (slot.value != nullptr)
        visit(slot.owner, entry.second->key.c_str(), slot.value);
}
