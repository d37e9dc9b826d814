#include "KyValueStore_p.h"

#include <kyplatform/KyDouble.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>

#include <cstring>
#include <cwchar>
#include <new>
#include <typeinfo>

namespace {

using Slot = KyValueStore::Slot;
using Holding = KyValueStore::Holding;

constexpr int kChunkShift = 6;
constexpr int kChunkSize = 1 << kChunkShift;

std::uint32_t ownerHash(const KyObject* owner) { return owner != nullptr ? owner->hashCode() : 0; }

bool sameOwner(const KyObject* a, const KyObject* b) {
  return a == b || (a != nullptr && b != nullptr && a->equals(b));
}

void endClaim(KyObject* object) {
  if (object != nullptr)
    object->vRelease();
}

KyObject* pointerIn(const Slot& slot) {
  KyObject* object;
  std::memcpy(&object, slot.bytes, sizeof object);
  return object;
}

void setPointer(Slot& slot, KyObject* object) { std::memcpy(slot.bytes, &object, sizeof object); }

KyInt* integerIn(Slot& slot) { return std::launder(reinterpret_cast<KyInt*>(slot.bytes)); }

// The value a slot holds, or null.
KyObject* valueOf(const Slot& slot, std::uint8_t holding) {
  switch (holding & Holding::kHoldingMask) {
  case Holding::kEmpty:
    return nullptr;
  case Holding::kMadeHere:
    return integerIn(const_cast<Slot&>(slot));
  default:
    return pointerIn(slot);
  }
}

} // namespace

void* KyValueStore::Room::take() {
  if (free_ != nullptr) {
    void* room = free_;
    std::memcpy(&free_, room, sizeof free_);
    return room;
  }
  constexpr std::size_t kBlock = 256;
  if (blocks_.empty() || used_ == kBlock) {
    blocks_.emplace_back(new unsigned char[kBlock * size_]);
    used_ = 0;
  }
  return blocks_.back().get() + size_ * used_++;
}

void KyValueStore::Room::give(void* room) {
  std::memcpy(room, &free_, sizeof free_);
  free_ = room;
}

// Where one entry keeps its value: a slot, how the slot holds it, and
// whether a KyInt may be made in the slot itself (the slot never moves).
struct KyValueStore::Cell {
  Slot* slot;
  std::uint8_t* holding;
  bool stable;
};

// A value taken out of a cell, to be released once the entry is settled:
// releasing may reach back into the store.
struct KyValueStore::Taken {
  KyObject* object = nullptr;
  std::uint8_t holding = Holding::kEmpty;
};

// One key's entries for owners of one kind of place in one graph: the
// nodes, or the edges, by position, in chunks of 64 slots.
struct KyValueStore::Column {
  struct Chunk {
    Slot slots[kChunkSize];
    std::uint8_t holding[kChunkSize] = {};
    int count = 0;
  };

  Column(const KyGraph* graph, KyOwnerPlace::Kind kind) : graph(graph), kind(kind) {}

  const KyGraph* graph;
  KyOwnerPlace::Kind kind;
  std::vector<std::unique_ptr<Chunk>> chunks;
  std::size_t count = 0;
};

// One key's entries for pairs of nodes of one graph: chunks of 64 slots,
// one per first node and block of 64 second nodes, found by hashing the
// two, with the owner object each entry keeps.
struct KyValueStore::PairColumn {
  struct Chunk {
    Slot slots[kChunkSize];
    KyObject* owners[kChunkSize] = {};
    std::uint8_t holding[kChunkSize] = {};
    int count = 0;
  };
  struct Hash {
    std::size_t operator()(std::uint64_t key) const {
      return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 17);
    }
  };

  static std::uint64_t chunkKey(const KyOwnerPlace& place) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(place.first)) << 32) |
           static_cast<std::uint32_t>(place.second >> kChunkShift);
  }
  Chunk* find(std::uint64_t key) const {
    if (last != nullptr && lastKey == key)
      return last;
    const auto found = chunks.find(key);
    if (found == chunks.end())
      return nullptr;
    lastKey = key;
    last = found->second.get();
    return last;
  }

  explicit PairColumn(const KyGraph* graph) : graph(graph) {}

  const KyGraph* graph;
  std::unordered_map<std::uint64_t, std::unique_ptr<Chunk>, Hash> chunks;
  mutable std::uint64_t lastKey = 0;
  mutable Chunk* last = nullptr;
  std::size_t count = 0;
};

// One key's entries for owners without a place, in a dense array in order
// of storing, and an index over them: linear probing over a power-of-two
// array of 8-byte slots, kept at most seven eighths full. An index slot
// holds the entry's position plus one (0 marks an empty slot) and the
// entry's owner hash, so a probe passes over the slots of other owners
// without touching their entries. Slots are placed by Fibonacci hashing of
// the owner's hash, which spreads identity hashes of neighbouring objects.
struct KyValueStore::Hashed {
  struct Entry {
    KyObject* owner;
    Slot value;
    std::uint32_t hash;
    std::uint8_t holding;
  };
  struct IndexSlot {
    std::uint32_t position;
    std::uint32_t hash;
  };

  std::size_t home(std::uint32_t hash) const {
    return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ull) >> shift);
  }

  // Position plus one of the entry whose owner is `owner` itself, probed
  // under the identity hash; 0 when there is none. Most such owners (the
  // graph, say) hash by identity, so this finds them without touching the
  // owner object. The index must not be empty.
  std::uint32_t findSame(const KyObject* owner) const {
    const std::uint32_t hash = KyObject::identityHash(owner);
    const std::size_t mask = index.size() - 1;
    for (std::size_t i = home(hash);; i = (i + 1) & mask) {
      const IndexSlot slot = index[i];
      if (slot.position == 0 || (slot.hash == hash && entries[slot.position - 1].owner == owner))
        return slot.position;
    }
  }

  // Index of the slot of the entry whose owner equals `owner`, or of the
  // empty slot where it would go. The index must not be empty.
  std::size_t find(const KyObject* owner, std::uint32_t hash) const {
    const std::size_t mask = index.size() - 1;
    for (std::size_t i = home(hash);; i = (i + 1) & mask) {
      const IndexSlot slot = index[i];
      if (slot.position == 0 ||
          (slot.hash == hash && sameOwner(owner, entries[slot.position - 1].owner)))
        return i;
    }
  }

  // Rebuilds the index at twice the size (at least 8 slots).
  void grow() {
    index.assign(index.size() < 8 ? 8 : index.size() * 2, IndexSlot{0, 0});
    shift = 64;
    for (std::size_t n = index.size(); n > 1; n >>= 1)
      --shift;
    const std::size_t mask = index.size() - 1;
    for (std::size_t e = 0; e < entries.size(); ++e) {
      std::size_t i = home(entries[e].hash);
      while (index[i].position != 0)
        i = (i + 1) & mask;
      index[i] = IndexSlot{static_cast<std::uint32_t>(e + 1), entries[e].hash};
    }
  }

  // Adds an entry for `owner`, which must not be present, at the empty
  // index slot `at`; returns it.
  Entry& insert(std::size_t at, KyObject* owner, std::uint32_t hash) {
    entries.push_back(Entry{owner, Slot{}, hash, Holding::kEmpty});
    if (entries.size() * 8 > index.size() * 7)
      grow();
    else
      index[at] = IndexSlot{static_cast<std::uint32_t>(entries.size()), hash};
    return entries.back();
  }

  // Removes the entry of index slot `hole`. Backward-shift deletion keeps
  // every probe chain unbroken; the last entry moves into the freed place.
  void erase(std::size_t hole) {
    const std::uint32_t freed = index[hole].position;
    const std::size_t mask = index.size() - 1;
    for (std::size_t i = (hole + 1) & mask; index[i].position != 0; i = (i + 1) & mask) {
      const std::size_t want = home(index[i].hash);
      if (((i - want) & mask) >= ((i - hole) & mask)) {
        index[hole] = index[i];
        hole = i;
      }
    }
    index[hole] = IndexSlot{0, 0};
    const auto last = static_cast<std::uint32_t>(entries.size());
    if (freed != last) {
      entries[freed - 1] = entries[last - 1];
      std::size_t i = home(entries[freed - 1].hash);
      while (index[i].position != last)
        i = (i + 1) & mask;
      index[i].position = freed;
    }
    entries.pop_back();
  }

  std::vector<Entry> entries;
  std::vector<IndexSlot> index;
  unsigned shift = 64;
};

struct KyValueStore::Table {
  explicit Table(const wchar_t* text) : key(text) {}

  Column* column(const KyOwnerPlace& place) const {
    for (const auto& c : columns)
      if (c->graph == place.graph && c->kind == place.kind)
        return c.get();
    return nullptr;
  }
  PairColumn* pairColumn(const KyGraph* graph) const {
    for (const auto& c : pairColumns)
      if (c->graph == graph)
        return c.get();
    return nullptr;
  }

  std::wstring key;
  Hashed hashed;
  std::vector<std::unique_ptr<Column>> columns;
  std::vector<std::unique_ptr<PairColumn>> pairColumns;
};

KyValueStore::KyValueStore() : doubles_(sizeof(KyDouble)), integers_(sizeof(KyInt)) {}

KyValueStore::~KyValueStore() {
  for (auto& named : tables_) {
    Table& t = *named.second;
    for (Hashed::Entry& entry : t.hashed.entries) {
      release(take(Cell{&entry.value, &entry.holding, false}));
      if (entry.holding & Holding::kOwnsOwner)
        endClaim(entry.owner);
    }
    for (auto& column : t.columns)
      for (auto& chunk : column->chunks)
        if (chunk != nullptr)
          for (int i = 0; i < kChunkSize; ++i)
            release(take(Cell{&chunk->slots[i], &chunk->holding[i], true}));
    for (auto& pairs : t.pairColumns)
      for (auto& [key, chunk] : pairs->chunks)
        for (int i = 0; i < kChunkSize; ++i) {
          release(take(Cell{&chunk->slots[i], &chunk->holding[i], true}));
          if (chunk->holding[i] & Holding::kOwnsOwner)
            endClaim(chunk->owners[i]);
        }
  }
}

KyValueStore::Taken KyValueStore::take(Cell cell) {
  Taken taken;
  const std::uint8_t holding = *cell.holding & Holding::kHoldingMask;
  if (holding == Holding::kMadeHere)
    integerIn(*cell.slot)->~KyInt(); // nothing to wait for
  else if (holding != Holding::kEmpty && holding != Holding::kReferenced)
    taken = Taken{pointerIn(*cell.slot), holding};
  *cell.holding &= Holding::kOwnsOwner;
  return taken;
}

void KyValueStore::release(const Taken& taken) {
  switch (taken.holding) {
  case Holding::kMadeInteger:
    static_cast<KyInt*>(taken.object)->~KyInt();
    integers_.give(taken.object);
    break;
  case Holding::kMadeDouble:
    static_cast<KyDouble*>(taken.object)->~KyDouble();
    doubles_.give(taken.object);
    break;
  case Holding::kOwned:
    endClaim(taken.object);
    break;
  default:
    break;
  }
}

KyValueStore::Taken KyValueStore::putValue(Cell cell, const Put& put) {
  const std::uint8_t owner = *cell.holding & Holding::kOwnsOwner;
  if (put.what == Put::kObject) {
    const std::uint8_t held = *cell.holding & Holding::kHoldingMask;
    if (held != Holding::kEmpty && valueOf(*cell.slot, held) == put.object) {
      // Storing the held value again keeps the store's hold on it, even
      // when it comes back as a reference: nobody else holds that claim.
      if (held == Holding::kReferenced && put.owns)
        *cell.holding = owner | Holding::kOwned;
      return Taken{};
    }
    const Taken taken = take(cell);
    setPointer(*cell.slot, put.object);
    *cell.holding = owner | (put.owns ? Holding::kOwned : Holding::kReferenced);
    return taken;
  }
  const Taken taken = take(cell);
  if (put.what == Put::kInteger && cell.stable) {
    new (cell.slot->bytes) KyInt(put.integer);
    *cell.holding = owner | Holding::kMadeHere;
  } else if (put.what == Put::kInteger) {
    setPointer(*cell.slot, new (integers_.take()) KyInt(put.integer));
    *cell.holding = owner | Holding::kMadeInteger;
  } else {
    setPointer(*cell.slot, new (doubles_.take()) KyDouble(put.real));
    *cell.holding = owner | Holding::kMadeDouble;
  }
  return taken;
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

KyValueStore::Table* KyValueStore::tableToFill(const wchar_t* key) {
  Table* t = table(key);
  if (t == nullptr) {
    auto made = std::make_unique<Table>(key);
    t = made.get();
    tables_.emplace(std::wstring_view(t->key), std::move(made));
  }
  known_[knownSlot(key)] = KnownKey{key, t};
  return t;
}

bool KyValueStore::set(KyObject* owner, const wchar_t* key, KyObject* value, bool ownsValue,
                       bool ownsOwner) {
  if (key == nullptr) {
    if (ownsValue)
      endClaim(value);
    if (ownsOwner)
      endClaim(owner);
    return false;
  }
  const Put put{Put::kObject, value, ownsValue, 0, 0.0};
  store(owner, key, value != nullptr ? &put : nullptr, ownsOwner);
  return true;
}

bool KyValueStore::setInteger(KyObject* owner, const wchar_t* key, int value, bool ownsOwner) {
  if (key == nullptr) {
    if (ownsOwner)
      endClaim(owner);
    return false;
  }
  const Put put{Put::kInteger, nullptr, true, value, 0.0};
  store(owner, key, &put, ownsOwner);
  return true;
}

bool KyValueStore::setDouble(KyObject* owner, const wchar_t* key, double value) {
  if (key == nullptr)
    return false;
  const Put put{Put::kDouble, nullptr, true, 0, value};
  store(owner, key, &put, false);
  return true;
}

void KyValueStore::store(KyObject* owner, const wchar_t* key, const Put* put, bool ownsOwner) {
  Table* t = put != nullptr ? tableToFill(key) : table(key);
  if (t == nullptr) {
    if (ownsOwner)
      endClaim(owner);
    return;
  }
  KyOwnerPlace place{};
  if (owner == nullptr || !owner->ownerPlace(place)) {
    storeHashed(*t, owner, put, ownsOwner);
  } else if (place.kind == KyOwnerPlace::KY_PLACE_NODE_PAIR) {
    storePair(*t, place, owner, put, ownsOwner);
  } else {
    storeMember(*t, place, put);
    if (ownsOwner)
      endClaim(owner); // a member ignores it: it lives as long as its graph
  }
}

void KyValueStore::storeMember(Table& t, const KyOwnerPlace& place, const Put* put) {
  Column* column = t.column(place);
  if (column == nullptr) {
    if (put == nullptr)
      return;
    column = t.columns.emplace_back(std::make_unique<Column>(place.graph, place.kind)).get();
  }
  const auto at = static_cast<std::size_t>(place.first >> kChunkShift);
  const int i = place.first & (kChunkSize - 1);
  if (at >= column->chunks.size()) {
    if (put == nullptr)
      return;
    column->chunks.resize(at + 1);
  }
  std::unique_ptr<Column::Chunk>& chunk = column->chunks[at];
  if (chunk == nullptr) {
    if (put == nullptr)
      return;
    chunk = std::make_unique<Column::Chunk>();
  }
  const Cell cell{&chunk->slots[i], &chunk->holding[i], true};
  const bool empty = chunk->holding[i] == Holding::kEmpty;
  if (put != nullptr) {
    const Taken taken = putValue(cell, *put);
    if (empty) {
      ++chunk->count;
      ++column->count;
      ++size_;
    }
    release(taken);
    return;
  }
  if (empty)
    return;
  const Taken taken = take(cell);
  --size_;
  if (--chunk->count == 0)
    chunk.reset();
  if (--column->count == 0)
    for (auto it = t.columns.begin(); it != t.columns.end(); ++it)
      if (it->get() == column) {
        t.columns.erase(it);
        break;
      }
  release(taken);
}

void KyValueStore::storePair(Table& t, const KyOwnerPlace& place, KyObject* owner, const Put* put,
                             bool ownsOwner) {
  PairColumn* pairs = t.pairColumn(place.graph);
  const std::uint64_t chunkKey = PairColumn::chunkKey(place);
  PairColumn::Chunk* chunk = pairs != nullptr ? pairs->find(chunkKey) : nullptr;
  if (chunk == nullptr) {
    if (put == nullptr) {
      if (ownsOwner)
        endClaim(owner);
      return;
    }
    if (pairs == nullptr)
      pairs = t.pairColumns.emplace_back(std::make_unique<PairColumn>(place.graph)).get();
    chunk = pairs->chunks.emplace(chunkKey, std::make_unique<PairColumn::Chunk>())
                .first->second.get();
  }
  const int i = place.second & (kChunkSize - 1);
  std::uint8_t& holding = chunk->holding[i];
  KyObject*& held = chunk->owners[i];
  const Cell cell{&chunk->slots[i], &holding, true};
  if ((holding & Holding::kHoldingMask) == Holding::kEmpty) {
    if (put == nullptr) {
      if (ownsOwner)
        endClaim(owner);
      return;
    }
    held = owner;
    holding = ownsOwner ? Holding::kOwnsOwner : 0;
    putValue(cell, *put);
    ++chunk->count;
    ++pairs->count;
    ++size_;
    return;
  }
  if (ownsOwner) {
    if ((holding & Holding::kOwnsOwner) == 0)
      held = owner;
    else if (owner != held)
      endClaim(owner); // keep the equal owner already held
    holding |= Holding::kOwnsOwner;
  }
  if (put != nullptr) {
    release(putValue(cell, *put));
    return;
  }
  KyObject* heldOwner = (holding & Holding::kOwnsOwner) != 0 ? held : nullptr;
  const Taken taken = take(cell);
  holding = Holding::kEmpty;
  held = nullptr;
  --size_;
  if (--chunk->count == 0) {
    pairs->chunks.erase(chunkKey);
    pairs->last = nullptr;
  }
  if (--pairs->count == 0)
    for (auto it = t.pairColumns.begin(); it != t.pairColumns.end(); ++it)
      if (it->get() == pairs) {
        t.pairColumns.erase(it);
        break;
      }
  endClaim(heldOwner);
  release(taken);
}

void KyValueStore::storeHashed(Table& t, KyObject* owner, const Put* put, bool ownsOwner) {
  Hashed& hashed = t.hashed;
  if (hashed.index.empty()) {
    if (put == nullptr) {
      if (ownsOwner)
        endClaim(owner);
      return;
    }
    hashed.grow();
  }
  const std::uint32_t hash = ownerHash(owner);
  const std::size_t at = hashed.find(owner, hash);
  const std::uint32_t position = hashed.index[at].position;
  if (position == 0) {
    if (put == nullptr) {
      if (ownsOwner)
        endClaim(owner);
      return;
    }
    Hashed::Entry& entry = hashed.insert(at, owner, hash);
    entry.holding = ownsOwner ? Holding::kOwnsOwner : 0;
    putValue(Cell{&entry.value, &entry.holding, false}, *put);
    ++size_;
    return;
  }

  Hashed::Entry& entry = hashed.entries[position - 1];
  if (ownsOwner) {
    if ((entry.holding & Holding::kOwnsOwner) == 0)
      entry.owner = owner;
    else if (owner != entry.owner)
      endClaim(owner); // keep the equal owner already held
    entry.holding |= Holding::kOwnsOwner;
  }
  const Cell cell{&entry.value, &entry.holding, false};
  if (put != nullptr) {
    release(putValue(cell, *put));
    return;
  }
  KyObject* heldOwner = (entry.holding & Holding::kOwnsOwner) != 0 ? entry.owner : nullptr;
  const Taken taken = take(cell);
  hashed.erase(at);
  --size_;
  endClaim(heldOwner);
  release(taken);
}

KyObject* KyValueStore::get(const KyObject* owner, const wchar_t* key) const {
  if (key == nullptr)
    return nullptr;
  const Table* t = table(key);
  if (t == nullptr)
    return nullptr;
  KyOwnerPlace place{};
  if (owner != nullptr && (!t->columns.empty() || !t->pairColumns.empty()) &&
      owner->ownerPlace(place)) {
    if (place.kind == KyOwnerPlace::KY_PLACE_NODE_PAIR) {
      const PairColumn* pairs = t->pairColumn(place.graph);
      const PairColumn::Chunk* chunk =
          pairs != nullptr ? pairs->find(PairColumn::chunkKey(place)) : nullptr;
      const int i = place.second & (kChunkSize - 1);
      return chunk != nullptr ? valueOf(chunk->slots[i], chunk->holding[i]) : nullptr;
    }
    const Column* column = t->column(place);
    const auto at = static_cast<std::size_t>(place.first >> kChunkShift);
    if (column == nullptr || at >= column->chunks.size() || column->chunks[at] == nullptr)
      return nullptr;
    const Column::Chunk& chunk = *column->chunks[at];
    const int i = place.first & (kChunkSize - 1);
    return valueOf(chunk.slots[i], chunk.holding[i]);
  }
  const Hashed& hashed = t->hashed;
  if (hashed.entries.empty())
    return nullptr;
  std::uint32_t position = hashed.findSame(owner);
  if (position == 0)
    position = hashed.index[hashed.find(owner, ownerHash(owner))].position;
  if (position == 0)
    return nullptr;
  const Hashed::Entry& entry = hashed.entries[position - 1];
  return valueOf(entry.value, entry.holding);
}

std::vector<int> KyValueStore::memberIntegers(const wchar_t* key, const KyGraph& graph,
                                              KyOwnerPlace::Kind kind, int missing) const {
  const int members =
      kind == KyOwnerPlace::KY_PLACE_EDGE ? graph.numberOfEdges() : graph.numberOfNodes();
  std::vector<int> values(static_cast<std::size_t>(members), missing);
  const Table* t = key != nullptr ? table(key) : nullptr;
  const Column* column = t != nullptr ? t->column(KyOwnerPlace{&graph, kind, 0, 0}) : nullptr;
  if (column == nullptr)
    return values;
  for (std::size_t at = 0; at < column->chunks.size(); ++at) {
    const Column::Chunk* chunk = column->chunks[at].get();
    if (chunk == nullptr)
      continue;
    for (int i = 0; i < kChunkSize; ++i) {
      const KyObject* value = valueOf(chunk->slots[i], chunk->holding[i]);
      if (value != nullptr)
        values[(at << kChunkShift) + static_cast<std::size_t>(i)] =
            typeid(*value) == typeid(KyInt) ? static_cast<const KyInt*>(value)->value() : 0;
    }
  }
  return values;
}

void KyValueStore::forEach(const std::function<void(const KyObject* owner, const wchar_t* key,
                                                    KyObject* value)>& visit) const {
  for (const auto& named : tables_) {
    const Table& t = *named.second;
    const wchar_t* key = t.key.c_str();
    for (const Hashed::Entry& entry : t.hashed.entries)
      visit(entry.owner, key, valueOf(entry.value, entry.holding));
    for (const auto& column : t.columns)
      for (std::size_t at = 0; at < column->chunks.size(); ++at)
        if (const Column::Chunk* chunk = column->chunks[at].get())
          for (int i = 0; i < kChunkSize; ++i)
            if (chunk->holding[i] != Holding::kEmpty) {
              const int position = static_cast<int>(at << kChunkShift) + i;
              const KyObject* owner = column->kind == KyOwnerPlace::KY_PLACE_EDGE
                                          ? static_cast<const KyObject*>(
                                                column->graph->pEdgeAt(position))
                                          : column->graph->pNodeAt(position);
              visit(owner, key, valueOf(chunk->slots[i], chunk->holding[i]));
            }
    for (const auto& pairs : t.pairColumns)
      for (const auto& [chunkKey, chunk] : pairs->chunks)
        for (int i = 0; i < kChunkSize; ++i)
          if ((chunk->holding[i] & Holding::kHoldingMask) != Holding::kEmpty)
            visit(chunk->owners[i], key, valueOf(chunk->slots[i], chunk->holding[i]));
  }
}
