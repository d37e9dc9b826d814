#include "KyValueStore_p.h"

#include <kyplatform/KyDouble.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>

#include <algorithm>
#include <cwchar>

namespace {

constexpr int kChunkShift = KyValueChunk::kShift;
constexpr int kChunkSize = KyValueChunk::kSize;

std::uint32_t ownerHash(const KyObject* owner) { return owner != nullptr ? owner->hashCode() : 0; }

bool sameOwner(const KyObject* a, const KyObject* b) {
  return a == b || (a != nullptr && b != nullptr && a->equals(b));
}

void endClaim(KyObject* object) {
  if (object != nullptr)
    object->vRelease();
}

} // namespace

// Where one entry keeps its value: a slot that never moves, and how the
// slot holds it.
struct KyValueStore::Cell {
  Slot* slot;
  std::uint8_t* holding;
};

// A value taken out of a cell, to be released once the entry is settled:
// releasing may reach back into the store.
struct KyValueStore::Taken {
  KyObject* object = nullptr;
  std::uint8_t holding = Holding::kEmpty;
};

// Where a value is: a chunk's slot, or an indexed entry; neither when
// there is none (a chunk's slot may still be empty).
struct KyValueStore::Found {
  const Chunk* chunk = nullptr;
  int slot = 0;
  Indexed::Entry* entry = nullptr;
};

struct KyValueStore::Table {
  explicit Table(const wchar_t* text) : key(text) {}

  Column* column(const KyOwnerPlace& place) const {
    for (const auto& c : columns)
      if (c->kind == place.kind && c->is(place.graph))
        return c.get();
    return nullptr;
  }
  PairTable* pairs(const KyGraph* graph) const {
    for (const auto& table : pairTables)
      if (table->is(graph))
        return table.get();
    return nullptr;
  }

  std::wstring key;
  Indexed owners;
  std::vector<std::unique_ptr<Column>> columns;
  std::vector<std::unique_ptr<PairTable>> pairTables;
};

KyValueStore::KyValueStore() = default;

KyValueStore::~KyValueStore() { clear(); }

void KyValueStore::clear() {
  for (auto& named : tables_) {
    Table& t = *named.second;
    t.owners.forEach([this](Indexed::Entry& entry) {
      const bool ownsOwner = (entry.holding & Holding::kOwnsOwner) != 0;
      release(take(Cell{&entry.value, &entry.holding}));
      if (ownsOwner)
        endClaim(entry.owner);
    });
    for (auto& column : t.columns)
      for (auto& chunk : column->chunks)
        if (chunk != nullptr)
          for (int i = 0; i < kChunkSize; ++i)
            release(take(*chunk, i));
    for (auto& pairs : t.pairTables) {
      pairs->index.forEach([this](Indexed::Entry& entry) {
        release(take(Cell{&entry.value, &entry.holding}));
        endClaim(entry.owner);
      });
      for (auto& [key, chunk] : pairs->chunks)
        for (int i = 0; i < kChunkSize; ++i) {
          release(take(*chunk, i));
          if (chunk->owners != nullptr)
            endClaim(chunk->owners[i]);
        }
    }
  }
  tables_.clear();
  known_.fill(KnownKey{});
  size_ = 0;
}

// A made integer's KyInt is released like a value handed over: whoever
// claimed it keeps it.
KyValueStore::Taken KyValueStore::take(Cell cell) {
  Taken taken;
  const std::uint8_t holding = *cell.holding & Holding::kHoldingMask;
  if (holding == Holding::kMadeInteger || holding == Holding::kOwned)
    taken = Taken{cell.slot->pointer(), Holding::kOwned};
  *cell.holding &= Holding::kOwnsOwner;
  return taken;
}

KyValueStore::Taken KyValueStore::take(Chunk& chunk, int slot) {
  Taken taken;
  const std::uint8_t holding = chunk.holding[slot];
  if (holding == Holding::kMadeInteger || holding == Holding::kOwned)
    taken = Taken{chunk.objects[slot], Holding::kOwned};
  chunk.holding[slot] = Holding::kEmpty;
  return taken;
}

void KyValueStore::release(const Taken& taken) {
  if (taken.holding == Holding::kOwned)
    endClaim(taken.object);
}

KyValueStore::Taken KyValueStore::putValue(Cell cell, const Put& put) {
  const std::uint8_t owner = *cell.holding & Holding::kOwnsOwner;
  if (put.what == Put::kObject) {
    const std::uint8_t held = *cell.holding & Holding::kHoldingMask;
    if (held != Holding::kEmpty && held != Holding::kPlainInteger &&
        cell.slot->pointer() == put.object) {
      // Storing the held value again keeps the store's hold on it, even
      // when it comes back as a reference: nobody else holds that claim.
      if (held == Holding::kReferenced && put.owns)
        *cell.holding = owner | Holding::kOwned;
      return Taken{};
    }
    const Taken taken = take(cell);
    cell.slot->pointer(put.object);
    *cell.holding = owner | (put.owns ? Holding::kOwned : Holding::kReferenced);
    return taken;
  }
  const Taken taken = take(cell);
  if (put.what == Put::kInteger) {
    cell.slot->plain(put.integer);
    *cell.holding = owner | Holding::kPlainInteger;
  } else {
    cell.slot->pointer(new KyDouble(put.real));
    *cell.holding = owner | Holding::kOwned;
  }
  return taken;
}

inline void KyValueStore::putInEmpty(Chunk& chunk, int slot, const Put& put) {
  if (put.what == Put::kInteger) {
    chunk.integers[slot] = put.integer;
    chunk.holding[slot] = Holding::kPlainInteger;
    return;
  }
  if (chunk.objects == nullptr)
    chunk.objects.reset(new KyObject*[kChunkSize]);
  chunk.objects[slot] = put.object;
  chunk.holding[slot] = put.owns ? Holding::kOwned : Holding::kReferenced;
}

KyValueStore::Taken KyValueStore::putValue(Chunk& chunk, int slot, const Put& put) {
  const std::uint8_t held = chunk.holding[slot];
  if (put.what == Put::kInteger) {
    const Taken taken = take(chunk, slot);
    chunk.integers[slot] = put.integer;
    chunk.holding[slot] = Holding::kPlainInteger;
    return taken;
  }
  if (put.what == Put::kObject && held != Holding::kEmpty && held != Holding::kPlainInteger &&
      chunk.objects[slot] == put.object) {
    // Storing the held value again keeps the store's hold on it.
    if (held == Holding::kReferenced && put.owns)
      chunk.holding[slot] = Holding::kOwned;
    return Taken{};
  }
  const Taken taken = take(chunk, slot);
  if (chunk.objects == nullptr)
    chunk.objects.reset(new KyObject*[kChunkSize]);
  if (put.what == Put::kObject) {
    chunk.objects[slot] = put.object;
    chunk.holding[slot] = put.owns ? Holding::kOwned : Holding::kReferenced;
  } else {
    chunk.objects[slot] = new KyDouble(put.real);
    chunk.holding[slot] = Holding::kOwned;
  }
  return taken;
}

std::size_t KyValueStore::knownSlot(const wchar_t* key) {
  // The top six bits of a Fibonacci product: one of the 64 slots.
  static_assert(kKnownKeys == 64);
  const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key));
  return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> 58);
}

inline KyValueStore::Table* KyValueStore::table(const wchar_t* key) const {
  // Callers pass the same key constants again and again: try the table last
  // stored through this address, and trust it only if its text still
  // matches (a caller may reuse a buffer for another key). The text matched
  // when the address was filed, so a text that cannot change still does.
  const KnownKey& known = known_[knownSlot(key)];
  if (known.address == key && (known.constant || std::wcscmp(known.text, key) == 0))
    return known.table;
  return tableByText(key);
}

KyValueStore::Table* KyValueStore::tableByText(const wchar_t* key) const {
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
  KnownKey& known = known_[knownSlot(key)];
  if (known.address != key || known.table != t)
    known = KnownKey{key, t->key.c_str(), t, keyTest_ != nullptr && keyTest_(key)};
  return t;
}

void KyValueStore::trustKeys(bool (*test)(const wchar_t* key)) {
  if (test == keyTest_)
    return;
  keyTest_ = test;
  known_.fill(KnownKey{}); // vouched for by another test
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
    storeIndexed(
        t->owners, ownerHash(owner),
        [owner](const Indexed::Entry& entry) { return sameOwner(owner, entry.owner); }, owner, 0, 0,
        put, ownsOwner);
  } else {
    if (place.kind == KyOwnerPlace::KY_PLACE_NODE_PAIR)
      storePair(*t, place, put);
    else
      storeMember(*t, place, put);
    if (ownsOwner)
      endClaim(owner); // kept by no entry; a member ignores it anyway
  }
}

KyValueStore::Column& KyValueStore::columnToFill(Table& t, const KyOwnerPlace& place) {
  if (Column* column = t.column(place))
    return *column;
  dropGone(t);
  return *t.columns.emplace_back(std::make_unique<Column>(place.graph, place.kind));
}

void KyValueStore::dropGone(Table& t) {
  for (auto it = t.columns.begin(); it != t.columns.end();) {
    Column& column = **it;
    if (!column.gone()) {
      ++it;
      continue;
    }
    for (auto& chunk : column.chunks)
      if (chunk != nullptr)
        for (int i = 0; i < kChunkSize; ++i)
          release(take(*chunk, i));
    size_ -= column.count;
    it = t.columns.erase(it);
  }
  for (auto it = t.pairTables.begin(); it != t.pairTables.end();) {
    PairTable& pairs = **it;
    if (!pairs.gone()) {
      ++it;
      continue;
    }
    size_ -= pairs.index.count;
    pairs.index.forEach([this](Indexed::Entry& entry) {
      release(take(Cell{&entry.value, &entry.holding}));
      endClaim(entry.owner);
    });
    for (auto& [key, chunk] : pairs.chunks) {
      size_ -= static_cast<std::size_t>(chunk->count);
      for (int i = 0; i < kChunkSize; ++i) {
        release(take(*chunk, i));
        if (chunk->owners != nullptr)
          endClaim(chunk->owners[i]);
      }
    }
    it = t.pairTables.erase(it);
  }
}

KyValueStore::Chunk& KyValueStore::chunkToFill(Column& column, std::size_t at) {
  if (at >= column.chunks.size())
    column.chunks.resize(at + 1);
  std::unique_ptr<Chunk>& chunk = column.chunks[at];
  if (chunk == nullptr)
    chunk = std::make_unique<Chunk>();
  return *chunk;
}

void KyValueStore::fillSlot(Column& column, Chunk& chunk, int slot, const Put& put) {
  const bool empty = chunk.holding[slot] == Holding::kEmpty;
  const Taken taken = putValue(chunk, slot, put);
  if (empty) {
    ++chunk.count;
    ++column.count;
    ++size_;
  }
  release(taken);
}

void KyValueStore::storeMember(Table& t, const KyOwnerPlace& place, const Put* put) {
  const auto at = static_cast<std::size_t>(place.first >> kChunkShift);
  const int i = place.first & (kChunkSize - 1);
  if (put != nullptr) {
    Column& column = columnToFill(t, place);
    fillSlot(column, chunkToFill(column, at), i, *put);
    return;
  }
  Column* column = t.column(place);
  if (column == nullptr || at >= column->chunks.size())
    return;
  std::unique_ptr<Chunk>& chunk = column->chunks[at];
  if (chunk == nullptr)
    return;
  if (chunk->holding[i] == Holding::kEmpty)
    return;
  const Taken taken = take(*chunk, i);
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

void KyValueStore::fill(Cell cell, KyObject*& heldOwner, KyObject* owner, const Put& put,
                        bool ownsOwner) {
  heldOwner = owner;
  *cell.holding = ownsOwner ? Holding::kOwnsOwner : 0;
  putValue(cell, put);
  ++size_;
}

bool KyValueStore::change(Cell cell, KyObject*& heldOwner, KyObject* owner, const Put* put,
                          bool ownsOwner) {
  if (ownsOwner) {
    if ((*cell.holding & Holding::kOwnsOwner) == 0)
      heldOwner = owner;
    else if (owner != heldOwner)
      endClaim(owner); // keep the equal owner already held
    *cell.holding |= Holding::kOwnsOwner;
  }
  if (put != nullptr) {
    release(putValue(cell, *put));
    return false;
  }
  KyObject* released = (*cell.holding & Holding::kOwnsOwner) != 0 ? heldOwner : nullptr;
  const Taken taken = take(cell);
  --size_;
  endClaim(released);
  release(taken);
  return true;
}

void KyValueStore::storePair(Table& t, const KyOwnerPlace& place, const Put* put) {
  PairTable* pairs = t.pairs(place.graph);
  if (pairs == nullptr) {
    if (put == nullptr)
      return;
    dropGone(t);
    pairs = t.pairTables.emplace_back(std::make_unique<PairTable>(place)).get();
  }
  const int first = place.first, second = place.second;
  const std::uint64_t key = PairTable::chunkKey(first, second);
  const int i = second & (kChunkSize - 1);
  Chunk* chunk = pairs->chunk(key);
  if (chunk != nullptr && chunk->holding[i] != Holding::kEmpty) {
    if (put != nullptr) {
      release(putValue(*chunk, i, *put));
      return;
    }
    KyObject* made = nullptr;
    if (chunk->owners != nullptr)
      std::swap(made, chunk->owners[i]);
    const Taken taken = take(*chunk, i);
    if (--chunk->count == 0) {
      pairs->chunks.erase(key);
      pairs->last = nullptr;
    }
    --size_;
    endClaim(made);
    release(taken);
  } else if (Indexed::Entry* entry = pairs->indexed(first, second)) {
    const Cell cell{&entry->value, &entry->holding};
    if (put != nullptr) {
      release(putValue(cell, *put));
      return;
    }
    KyObject* made = entry->owner;
    const Taken taken = take(cell);
    pairs->index.erase(pairs->index.find(
        entry->hash, [entry](const Indexed::Entry& other) { return &other == entry; }));
    --size_;
    endClaim(made);
    release(taken);
  } else if (put != nullptr && pairs->chunked()) {
    if (chunk == nullptr)
      chunk = pairs->addChunk(key);
    putValue(*chunk, i, *put);
    ++chunk->count;
    ++size_;
  } else if (put != nullptr) {
    Indexed& index = pairs->index;
    if (index.index.empty())
      index.grow();
    const std::uint32_t hash = PairTable::hash(first, second);
    Indexed::Entry& added =
        index.insert(index.find(hash, [](const Indexed::Entry&) { return false; }), hash);
    added.owner = nullptr;
    added.first = first;
    added.second = second;
    added.holding = Holding::kEmpty;
    putValue(Cell{&added.value, &added.holding}, *put);
    ++size_;
  }
  if (pairs->index.count == 0 && pairs->chunks.empty())
    for (auto it = t.pairTables.begin(); it != t.pairTables.end(); ++it)
      if (it->get() == pairs) {
        t.pairTables.erase(it);
        break;
      }
}

template <class Same>
void KyValueStore::storeIndexed(Indexed& indexed, std::uint32_t hash, Same same, KyObject* owner,
                                int first, int second, const Put* put, bool ownsOwner) {
  if (indexed.index.empty()) {
    if (put == nullptr) {
      if (ownsOwner)
        endClaim(owner);
      return;
    }
    indexed.grow();
  }
  const std::size_t at = indexed.find(hash, same);
  const std::uint32_t number = indexed.index[at].entry;
  if (number == 0) {
    if (put != nullptr) {
      Indexed::Entry& entry = indexed.insert(at, hash);
      entry.first = first;
      entry.second = second;
      fill(Cell{&entry.value, &entry.holding}, entry.owner, owner, *put, ownsOwner);
    } else if (ownsOwner) {
      endClaim(owner);
    }
    return;
  }
  Indexed::Entry& entry = indexed.entry(number - 1);
  if (change(Cell{&entry.value, &entry.holding}, entry.owner, owner, put, ownsOwner))
    indexed.erase(at);
}

KyValueStore::Found KyValueStore::locate(const Table& t, const KyObject* owner) const {
  KyOwnerPlace place{};
  if (owner != nullptr && (!t.columns.empty() || !t.pairTables.empty()) &&
      owner->ownerPlace(place)) {
    if (place.kind != KyOwnerPlace::KY_PLACE_NODE_PAIR) {
      const Column* column = t.column(place);
      const auto at = static_cast<std::size_t>(place.first >> kChunkShift);
      if (column == nullptr || at >= column->chunks.size())
        return Found{};
      return Found{column->chunks[at].get(), place.first & (kChunkSize - 1), nullptr};
    }
    const PairTable* pairs = t.pairs(place.graph);
    if (pairs == nullptr)
      return Found{};
    const int i = place.second & (kChunkSize - 1);
    if (const Chunk* chunk = pairs->chunk(PairTable::chunkKey(place.first, place.second));
        chunk != nullptr && chunk->holding[i] != Holding::kEmpty)
      return Found{chunk, i, nullptr};
    return Found{nullptr, 0, pairs->indexed(place.first, place.second)};
  }
  const Indexed& owners = t.owners;
  if (owners.count == 0)
    return Found{};
  // Most such owners (the graph, say) hash by identity: try that first,
  // which finds them without touching the owner object.
  std::uint32_t number =
      owners
          .index[owners.find(KyObject::identityHash(owner),
                             [owner](const Indexed::Entry& entry) { return entry.owner == owner; })]
          .entry;
  if (number == 0)
    number = owners
                 .index[owners.find(ownerHash(owner),
                                    [owner](const Indexed::Entry& entry) {
                                      return sameOwner(owner, entry.owner);
                                    })]
                 .entry;
  return Found{nullptr, 0, number != 0 ? &owners.entry(number - 1) : nullptr};
}

KyObject* KyValueStore::get(const KyObject* owner, const wchar_t* key) const {
  const Table* t = key != nullptr ? table(key) : nullptr;
  if (t == nullptr)
    return nullptr;
  const Found found = locate(*t, owner);
  if (found.chunk != nullptr)
    return found.chunk->value(found.slot);
  return found.entry != nullptr ? found.entry->value.value(found.entry->holding) : nullptr;
}

bool KyValueStore::getInteger(const KyObject* owner, const wchar_t* key, int& integer) const {
  const Table* t = key != nullptr ? table(key) : nullptr;
  return t != nullptr && integerInTable(*t, owner, integer);
}

bool KyValueStore::integerInTable(const Table& t, const KyObject* owner, int& integer) const {
  // Most reads are of options on the members of one graph, a key with one
  // column: straight to the member's slot.
  KyOwnerPlace place{};
  if (t.columns.size() == 1 && owner != nullptr && owner->ownerPlace(place)) {
    const Column& column = *t.columns.front();
    if (column.kind == place.kind && column.is(place.graph))
      return column.integerAt(place.first, integer);
  }
  const Found found = locate(t, owner);
  if (found.chunk != nullptr)
    return found.chunk->integer(found.slot, integer);
  if (found.entry == nullptr || (found.entry->holding & Holding::kHoldingMask) == Holding::kEmpty)
    return false;
  integer = found.entry->value.integer(found.entry->holding);
  return true;
}

bool KyValueStore::getMemberInteger(const KyGraphMember& member, const wchar_t* key,
                                    int& integer) const {
  const Table* t = key != nullptr ? table(key) : nullptr;
  if (t == nullptr)
    return false;
  for (const auto& column : t->columns)
    if (column->holds(member))
      return column->integerAt(member.index(), integer);
  return !t->columns.empty() && integerInTable(*t, &member, integer);
}

void KyValueStore::setMemberIntegers(const wchar_t* key, const KyGraph& graph,
                                     KyOwnerPlace::Kind kind, const std::vector<int>& values,
                                     int missing) {
  fillMembers(key, graph, kind, values.size(), Put{Put::kInteger, nullptr, true, 0, 0.0},
              [&values, missing](std::size_t p, Put& put) {
                put.integer = values[p];
                return values[p] != missing;
              });
}

void KyValueStore::setMemberReferences(const wchar_t* key, const KyGraph& graph,
                                       KyOwnerPlace::Kind kind,
                                       const std::vector<KyObject*>& objects) {
  fillMembers(key, graph, kind, objects.size(), Put{Put::kObject, nullptr, false, 0, 0.0},
              [&objects](std::size_t p, Put& put) {
                put.object = objects[p];
                return objects[p] != nullptr;
              });
}

template <class Value>
void KyValueStore::fillMembers(const wchar_t* key, const KyGraph& graph, KyOwnerPlace::Kind kind,
                               std::size_t values, Put put, Value value) {
  if (key == nullptr)
    return;
  const auto members = static_cast<std::size_t>(
      kind == KyOwnerPlace::KY_PLACE_EDGE ? graph.numberOfEdges() : graph.numberOfNodes());
  const std::size_t count = std::min(values, members);
  Column* column = nullptr;
  for (std::size_t at = 0; at << kChunkShift < count; ++at) {
    Chunk* chunk = nullptr;
    const std::size_t first = at << kChunkShift;
    const std::size_t end = std::min(count, first + kChunkSize);
    for (std::size_t p = first; p < end; ++p) {
      if (!value(p, put))
        continue;
      if (column == nullptr)
        column = &columnToFill(*tableToFill(key), KyOwnerPlace{&graph, kind, 0, 0, nullptr});
      if (chunk == nullptr)
        chunk = &chunkToFill(*column, at);
      if (chunk->count == 0) {
        // Every slot is empty: nothing to take out or release, and the
        // counts grow once.
        putInEmpty(*chunk, static_cast<int>(p - first), put);
        int filled = 1;
        for (++p; p < end; ++p)
          if (value(p, put)) {
            putInEmpty(*chunk, static_cast<int>(p - first), put);
            ++filled;
          }
        chunk->count = filled;
        column->count += static_cast<std::size_t>(filled);
        size_ += static_cast<std::size_t>(filled);
        break;
      }
      const int slot = static_cast<int>(p - first);
      if (chunk->holding[slot] != Holding::kEmpty) {
        fillSlot(*column, *chunk, slot, put);
        continue;
      }
      putInEmpty(*chunk, slot, put);
      ++chunk->count;
      ++column->count;
      ++size_;
    }
  }
}

std::vector<int> KyValueStore::memberIntegers(const wchar_t* key, const KyGraph& graph,
                                              KyOwnerPlace::Kind kind, int missing) const {
  const int members =
      kind == KyOwnerPlace::KY_PLACE_EDGE ? graph.numberOfEdges() : graph.numberOfNodes();
  std::vector<int> values(static_cast<std::size_t>(members), missing);
  const Table* t = key != nullptr ? table(key) : nullptr;
  const Column* column =
      t != nullptr ? t->column(KyOwnerPlace{&graph, kind, 0, 0, nullptr}) : nullptr;
  if (column == nullptr)
    return values;
  for (std::size_t at = 0; at < column->chunks.size(); ++at) {
    const Chunk* chunk = column->chunks[at].get();
    if (chunk == nullptr)
      continue;
    // The last chunk may reach past the last member.
    const std::size_t first = at << kChunkShift;
    const std::size_t end = std::min(values.size(), first + kChunkSize);
    for (std::size_t p = first; p < end; ++p)
      chunk->integer(static_cast<int>(p - first), values[p]);
  }
  return values;
}

void KyValueStore::forEach(const std::function<void(const KyObject* owner, const wchar_t* key,
                                                    KyObject* value)>& visit) const {
  walk([&visit](const KyStoredEntry& entry) {
    visit(entry.owner(), entry.key(), entry.value());
    return true;
  });
}

bool KyValueStore::walk(const std::function<bool(const KyStoredEntry& entry)>& visit) const {
  using Owner = KyStoredEntry::Owner;
  std::vector<const Table*> sorted;
  sorted.reserve(tables_.size());
  for (const auto& named : tables_)
    sorted.push_back(named.second.get());
  std::sort(sorted.begin(), sorted.end(), [](const Table* a, const Table* b) {
    return std::wcscmp(a->key.c_str(), b->key.c_str()) < 0;
  });
  for (const Table* t : sorted) {
    KyStoredEntry entry;
    entry.key_ = t->key.c_str();
    const Indexed& owners = t->owners;
    for (std::uint32_t e = 0; e < owners.made; ++e) {
      Indexed::Entry& at = owners.entry(e);
      if (at.holding == Holding::kEmpty)
        continue;
      entry.kind_ = at.owner != nullptr ? Owner::object : Owner::none;
      entry.object_ = at.owner;
      entry.indexed_ = &at;
      if (!visit(entry))
        return false;
    }
    entry.object_ = nullptr;
    entry.indexed_ = nullptr;
    // Values on members of a graph that is gone, or past its members, have
    // no owner to show.
    for (const auto& column : t->columns) {
      if (column->gone())
        continue;
      const bool edges = column->kind == KyOwnerPlace::KY_PLACE_EDGE;
      const int members = edges ? column->graph->numberOfEdges() : column->graph->numberOfNodes();
      entry.kind_ = edges ? Owner::edge : Owner::node;
      entry.graph_ = column->graph;
      entry.second_ = 0;
      for (std::size_t at = 0; at < column->chunks.size(); ++at) {
        const Chunk* chunk = column->chunks[at].get();
        if (chunk == nullptr)
          continue;
        entry.chunk_ = chunk;
        for (int i = 0; i < kChunkSize; ++i) {
          const int position = static_cast<int>(at << kChunkShift) + i;
          if (chunk->holding[i] == Holding::kEmpty || position >= members)
            continue;
          entry.first_ = position;
          entry.slot_ = i;
          if (!visit(entry))
            return false;
        }
      }
    }
    entry.kind_ = Owner::pair;
    for (const auto& pairs : t->pairTables) {
      if (pairs->gone())
        continue;
      const int nodes = pairs->graph->numberOfNodes();
      entry.graph_ = pairs->graph;
      entry.pairs_ = pairs.get();
      entry.chunk_ = nullptr;
      const Indexed& index = pairs->index;
      for (std::uint32_t e = 0; e < index.made; ++e) {
        Indexed::Entry& at = index.entry(e);
        if (at.holding == Holding::kEmpty || at.first >= nodes || at.second >= nodes)
          continue;
        entry.first_ = at.first;
        entry.second_ = at.second;
        entry.indexed_ = &at;
        if (!visit(entry))
          return false;
      }
      entry.indexed_ = nullptr;
      for (const auto& [chunkKey, chunk] : pairs->chunks) {
        const int first = PairTable::firstOf(chunkKey);
        if (first >= nodes)
          continue;
        entry.first_ = first;
        entry.chunk_ = chunk.get();
        for (int i = 0; i < kChunkSize; ++i) {
          const int second = PairTable::secondOf(chunkKey, i);
          if (chunk->holding[i] == Holding::kEmpty || second >= nodes)
            continue;
          entry.second_ = second;
          entry.slot_ = i;
          if (!visit(entry))
            return false;
        }
      }
    }
  }
  return true;
}
