#include "KyValueStore_p.h"

#include <kyplatform/KyDouble.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
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

// The hash of a pair's two positions: every bit of both reaches the top
// half, which the index uses, so (a, b), (b, a) and (a, a) spread alike.
std::uint32_t pairHash(int first, int second) {
  const std::uint64_t mixed =
      static_cast<std::uint32_t>(first) * 0x9E3779B97F4A7C15ull ^
      (static_cast<std::uint64_t>(static_cast<std::uint32_t>(second)) + 0x632BE59BD9B4E019ull) *
          0xC2B2AE3D27D4EB4Full;
  return static_cast<std::uint32_t>((mixed ^ (mixed >> 29)) >> 32);
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

int plainIn(const Slot& slot) {
  int integer;
  std::memcpy(&integer, slot.bytes, sizeof integer);
  return integer;
}

void setPlain(Slot& slot, int integer) { std::memcpy(slot.bytes, &integer, sizeof integer); }

// The integer a value reads as: a KyInt's own, 0 for any other class.
int integerOf(const KyObject* value) {
  return typeid(*value) == typeid(KyInt) ? static_cast<const KyInt*>(value)->value() : 0;
}

// The value a slot holds, or null; a plain integer gets its KyInt now.
KyObject* valueOf(Slot& slot, std::uint8_t& holding) {
  switch (holding & Holding::kHoldingMask) {
  case Holding::kEmpty:
    return nullptr;
  case Holding::kPlainInteger: {
    auto* made = new KyInt(plainIn(slot));
    setPointer(slot, made);
    holding = static_cast<std::uint8_t>((holding & Holding::kOwnsOwner) | Holding::kMadeInteger);
    return made;
  }
  default:
    return pointerIn(slot);
  }
}

// What a slot that holds a value reads as an integer, as getInteger() says.
int integerIn(const Slot& slot, std::uint8_t holding) {
  return (holding & Holding::kHoldingMask) == Holding::kPlainInteger ? plainIn(slot)
                                                                     : integerOf(pointerIn(slot));
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

// 64 value slots by position. An integer the store made stays a plain int
// until someone asks for its object, which is then made on the heap and
// kept beside the int; any other value is a pointer. Pair chunks also keep
// the owners made for their slots.
struct KyValueStore::Chunk {
  // The value of a slot, made now when it is a plain integer; null when
  // the slot is empty.
  KyObject* value(int slot) const {
    switch (holding[slot]) {
    case Holding::kEmpty:
      return nullptr;
    case Holding::kPlainInteger:
      if (objects == nullptr)
        objects.reset(new KyObject*[kChunkSize]);
      holding[slot] = Holding::kMadeInteger;
      return objects[slot] = new KyInt(integers[slot]);
    default:
      return objects[slot];
    }
  }

  std::int32_t integers[kChunkSize];
  mutable std::uint8_t holding[kChunkSize] = {};
  int count = 0;
  mutable std::unique_ptr<KyObject*[]> objects; // values other than plain integers
  mutable std::unique_ptr<KyObject*[]> owners;  // a pair chunk's owners, when made
};

// The graph whose members a column or a pair table files by position. A
// graph is known by its address and its life token: a graph made where a
// gone one was has another token, so it never finds the gone one's values,
// and those are never walked.
struct KyValueStore::GraphKey {
  explicit GraphKey(const KyGraph* graph)
      : graph(graph), life(graph->lifeToken()), lifeAddress(graph->lifeAddress()) {}

  // Whether `other`, a graph that is there, is this one.
  bool is(const KyGraph* other) const {
    return other == graph && other->lifeAddress() == lifeAddress;
  }
  bool gone() const { return life.expired(); }

  const KyGraph* graph;
  std::weak_ptr<const void> life;
  const void* lifeAddress;
};

// One key's entries for owners of one kind of place in one graph: the
// nodes, or the edges, by position, in chunks of 64 slots.
struct KyValueStore::Column : GraphKey {
  Column(const KyGraph* graph, KyOwnerPlace::Kind kind)
      : GraphKey(graph), kind(kind),
        memberClass(kind == KyOwnerPlace::KY_PLACE_EDGE ? typeid(KyEdge) : typeid(KyNode)) {}

  // Whether the column surely files `member`'s values: a member of its
  // graph and of its kind. Nodes and edges have no subclasses, so the
  // member's class tells its kind; the class records are compared by
  // address only, which never confuses two classes. Where a member is not
  // surely held, the general path decides.
  bool holds(const KyGraphMember& member) const {
    return is(member.pOwnerGraph()) && &typeid(member) == &memberClass;
  }

  // What the slot of `position` reads as an integer, as getInteger() says;
  // false when it holds no value.
  bool integerAt(int position, int& integer) const {
    const auto at = static_cast<std::size_t>(position >> kChunkShift);
    const Chunk* chunk = at < chunks.size() ? chunks[at].get() : nullptr;
    return chunk != nullptr && slotInteger(*chunk, position & (kChunkSize - 1), integer);
  }

  KyOwnerPlace::Kind kind;
  const std::type_info& memberClass;
  std::vector<std::unique_ptr<Chunk>> chunks;
  std::size_t count = 0;
};

// Entries found through an index: linear probing over a power-of-two array
// of 8-byte slots, kept at most seven eighths full. A slot holds an entry's
// number plus one (0 marks an empty slot) and its hash, so a probe passes
// over the slots of other owners without touching their entries; slots are
// placed by Fibonacci hashing of the hash. Entries sit in pages of 256 and
// never move: a removed entry's room is taken by the next one added.
struct KyValueStore::Indexed {
  struct Entry {
    Slot value;
    KyObject* owner;
    std::uint32_t hash;
    int first, second; // a pair's positions
    std::uint8_t holding;
  };
  struct IndexSlot {
    std::uint32_t entry;
    std::uint32_t hash;
  };
  static constexpr std::uint32_t kPageShift = 8;

  Entry& entry(std::uint32_t number) const {
    return pages[number >> kPageShift][number & ((1u << kPageShift) - 1)];
  }
  std::size_t home(std::uint32_t hash) const {
    return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ull) >> shift);
  }

  // The slot of the entry of `hash` for which same(entry) holds, or the
  // empty slot where it would go. The index must not be empty.
  template <class Same> std::size_t find(std::uint32_t hash, Same same) const {
    const std::size_t mask = index.size() - 1;
    for (std::size_t i = home(hash);; i = (i + 1) & mask) {
      const IndexSlot slot = index[i];
      if (slot.entry == 0 || (slot.hash == hash && same(entry(slot.entry - 1))))
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
    for (std::uint32_t e = 0; e < made; ++e) {
      const Entry& at = entry(e);
      if (at.holding == Holding::kEmpty)
        continue;
      std::size_t i = home(at.hash);
      while (index[i].entry != 0)
        i = (i + 1) & mask;
      index[i] = IndexSlot{e + 1, at.hash};
    }
  }

  // A new entry of `hash`, which must not be present, at the empty slot
  // `at`, its value still to be put.
  Entry& insert(std::size_t at, std::uint32_t hash) {
    std::uint32_t number;
    if (!holes.empty()) {
      number = holes.back();
      holes.pop_back();
    } else {
      if ((made & ((1u << kPageShift) - 1)) == 0)
        pages.emplace_back(new Entry[std::size_t{1} << kPageShift]);
      number = made++;
    }
    Entry& added = entry(number);
    added.hash = hash;
    ++count;
    if (count * 8 > index.size() * 7) {
      added.holding = Holding::kOwnsOwner; // not empty: grow() must index it
      grow();
    } else {
      index[at] = IndexSlot{number + 1, hash};
    }
    return added;
  }

  // Removes the entry of slot `hole`, whose value is out. Backward-shift
  // deletion keeps every probe chain unbroken.
  void erase(std::size_t hole) {
    const std::uint32_t removed = index[hole].entry - 1;
    const std::size_t mask = index.size() - 1;
    for (std::size_t i = (hole + 1) & mask; index[i].entry != 0; i = (i + 1) & mask) {
      const std::size_t want = home(index[i].hash);
      if (((i - want) & mask) >= ((i - hole) & mask)) {
        index[hole] = index[i];
        hole = i;
      }
    }
    index[hole] = IndexSlot{0, 0};
    entry(removed).holding = Holding::kEmpty;
    holes.push_back(removed);
    --count;
  }

  // Calls visit(entry) for every entry that holds a value; it may change
  // the entry, not the index.
  template <class Visit> void forEach(Visit visit) const {
    for (std::uint32_t e = 0; e < made; ++e)
      if (entry(e).holding != Holding::kEmpty)
        visit(entry(e));
  }

  std::vector<std::unique_ptr<Entry[]>> pages;
  std::uint32_t made = 0; // entries ever made
  std::vector<std::uint32_t> holes;
  std::vector<IndexSlot> index;
  unsigned shift = 64;
  std::size_t count = 0;
};

// Where a value is: a chunk's slot, or an indexed entry; neither when
// there is none (a chunk's slot may still be empty).
struct KyValueStore::Found {
  const Chunk* chunk = nullptr;
  int slot = 0;
  Indexed::Entry* entry = nullptr;
};

// One key's entries for pairs of nodes of one graph. They go to an index
// keyed by both positions until the pairs are many for the graph's size (a
// sixteenth of all pairs, as an all-pairs answer makes); from then on new
// ones go to chunks of 64 slots, one per first node and block of 64 second
// nodes, which an answer of every pair fills up. Entries already indexed
// stay there. No entry keeps the pair it was stored under: its owner is
// made, and kept, only when someone asks for it.
struct KyValueStore::PairTable : GraphKey {
  struct Hash {
    std::size_t operator()(std::uint64_t key) const {
      return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 17);
    }
  };

  explicit PairTable(const KyOwnerPlace& place) : GraphKey(place.graph), make(place.make) {}

  // The owner of the entry at (first, second) whose made owner is `made`:
  // made now when it is null.
  KyObject* owner(KyObject*& made, int first, int second) const {
    if (made == nullptr)
      made = make(KyOwnerPlace{graph, KyOwnerPlace::KY_PLACE_NODE_PAIR, first, second, make});
    return made;
  }
  static std::uint64_t chunkKey(int first, int second) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(first)) << 32) |
           static_cast<std::uint32_t>(second >> kChunkShift);
  }
  Chunk* chunk(std::uint64_t key) const {
    if (chunks.empty())
      return nullptr;
    if (last != nullptr && lastKey == key)
      return last;
    const auto found = chunks.find(key);
    if (found == chunks.end())
      return nullptr;
    lastKey = key;
    last = found->second.get();
    return last;
  }
  // The indexed entry of (first, second), or null.
  Indexed::Entry* indexed(int first, int second) const {
    if (index.count == 0 ||
        (!chunks.empty() &&
         (static_cast<std::size_t>(first) >= indexedRows.size() || !indexedRows[first])))
      return nullptr;
    const std::uint32_t number =
        index
            .index[index.find(pairHash(first, second),
                              [&](const Indexed::Entry& entry) {
                                return entry.first == first && entry.second == second;
                              })]
            .entry;
    return number != 0 ? &index.entry(number - 1) : nullptr;
  }
  // Whether new pairs go to chunks.
  bool chunked() const {
    const auto n = static_cast<std::size_t>(graph->numberOfNodes());
    return !chunks.empty() || index.count * 16 >= n * n;
  }

  // Makes the chunk of `key`; the first one marks the rows of the entries
  // indexed so far, the only rows the index can hold from then on.
  Chunk* addChunk(std::uint64_t key) {
    if (chunks.empty()) {
      indexedRows.assign(static_cast<std::size_t>(graph->numberOfNodes()), false);
      index.forEach([&](const Indexed::Entry& entry) { indexedRows[entry.first] = true; });
    }
    last = nullptr;
    return chunks.emplace(key, std::make_unique<Chunk>()).first->second.get();
  }

  KyObject* (*make)(const KyOwnerPlace&);
  Indexed index;
  std::unordered_map<std::uint64_t, std::unique_ptr<Chunk>, Hash> chunks;
  std::vector<bool> indexedRows; // set while there are chunks
  mutable std::uint64_t lastKey = 0;
  mutable Chunk* last = nullptr;
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
    taken = Taken{pointerIn(*cell.slot), Holding::kOwned};
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
        pointerIn(*cell.slot) == put.object) {
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
  if (put.what == Put::kInteger) {
    setPlain(*cell.slot, put.integer);
    *cell.holding = owner | Holding::kPlainInteger;
  } else {
    setPointer(*cell.slot, new KyDouble(put.real));
    *cell.holding = owner | Holding::kOwned;
  }
  return taken;
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

inline KyValueStore::Table* KyValueStore::table(const wchar_t* key, bool constantKey) const {
  // Callers pass the same key constants again and again: try the table last
  // stored through this address, and trust it only if its text still
  // matches (a caller may reuse a buffer for another key). The text matched
  // when the address was filed, so a text that cannot change still does.
  const KnownKey& known = known_[knownSlot(key)];
  if (known.address == key && (constantKey || std::wcscmp(known.text, key) == 0))
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
  known_[knownSlot(key)] = KnownKey{key, t->key.c_str(), t};
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
    const std::uint32_t hash = pairHash(first, second);
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
  return found.entry != nullptr ? valueOf(found.entry->value, found.entry->holding) : nullptr;
}

inline bool KyValueStore::slotInteger(const Chunk& chunk, int slot, int& integer) {
  const std::uint8_t holding = chunk.holding[slot];
  if (holding == Holding::kPlainInteger || holding == Holding::kMadeInteger) {
    integer = chunk.integers[slot];
    return true;
  }
  if (holding == Holding::kEmpty)
    return false;
  integer = integerOf(chunk.objects[slot]);
  return true;
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
    return slotInteger(*found.chunk, found.slot, integer);
  if (found.entry == nullptr || (found.entry->holding & Holding::kHoldingMask) == Holding::kEmpty)
    return false;
  integer = integerIn(found.entry->value, found.entry->holding);
  return true;
}

bool KyValueStore::getMemberInteger(const KyGraphMember& member, const wchar_t* key, int& integer,
                                    bool constantKey) const {
  const Table* t = key != nullptr ? table(key, constantKey) : nullptr;
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
  if (key == nullptr)
    return;
  const auto members = static_cast<std::size_t>(
      kind == KyOwnerPlace::KY_PLACE_EDGE ? graph.numberOfEdges() : graph.numberOfNodes());
  const std::size_t count = std::min(values.size(), members);
  Column* column = nullptr;
  Put put{Put::kInteger, nullptr, true, 0, 0.0};
  for (std::size_t at = 0; at << kChunkShift < count; ++at) {
    Chunk* chunk = nullptr;
    const std::size_t first = at << kChunkShift;
    const std::size_t end = std::min(count, first + kChunkSize);
    for (std::size_t p = first; p < end; ++p) {
      if (values[p] == missing)
        continue;
      if (column == nullptr)
        column = &columnToFill(*tableToFill(key), KyOwnerPlace{&graph, kind, 0, 0, nullptr});
      if (chunk == nullptr)
        chunk = &chunkToFill(*column, at);
      put.integer = values[p];
      fillSlot(*column, *chunk, static_cast<int>(p - first), put);
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
      slotInteger(*chunk, static_cast<int>(p - first), values[p]);
  }
  return values;
}

void KyValueStore::forEach(const std::function<void(const KyObject* owner, const wchar_t* key,
                                                    KyObject* value)>& visit) const {
  for (const auto& named : tables_) {
    const Table& t = *named.second;
    const wchar_t* key = t.key.c_str();
    const auto visitEntry = [&](Indexed::Entry& entry) {
      visit(entry.owner, key, valueOf(entry.value, entry.holding));
    };
    t.owners.forEach(visitEntry);
    // Values on members of a graph that is gone, or past its members, have
    // no owner to show.
    for (const auto& column : t.columns) {
      if (column->gone())
        continue;
      const bool edges = column->kind == KyOwnerPlace::KY_PLACE_EDGE;
      const int members = edges ? column->graph->numberOfEdges() : column->graph->numberOfNodes();
      for (std::size_t at = 0; at < column->chunks.size(); ++at)
        if (const Chunk* chunk = column->chunks[at].get())
          for (int i = 0; i < kChunkSize; ++i) {
            const int position = static_cast<int>(at << kChunkShift) + i;
            if (chunk->holding[i] == Holding::kEmpty || position >= members)
              continue;
            const KyObject* owner =
                edges ? static_cast<const KyObject*>(column->graph->pEdgeAt(position))
                      : column->graph->pNodeAt(position);
            visit(owner, key, chunk->value(i));
          }
    }
    for (const auto& pairs : t.pairTables) {
      if (pairs->gone())
        continue;
      const int nodes = pairs->graph->numberOfNodes();
      pairs->index.forEach([&](Indexed::Entry& entry) {
        if (entry.first < nodes && entry.second < nodes)
          visit(pairs->owner(entry.owner, entry.first, entry.second), key,
                valueOf(entry.value, entry.holding));
      });
      for (const auto& [chunkKey, chunk] : pairs->chunks)
        for (int i = 0; i < kChunkSize; ++i) {
          const int first = static_cast<int>(chunkKey >> 32);
          const int second = static_cast<int>((chunkKey & 0xFFFFFFFFu) << kChunkShift) + i;
          if (chunk->holding[i] == Holding::kEmpty || first >= nodes || second >= nodes)
            continue;
          if (chunk->owners == nullptr)
            chunk->owners.reset(new KyObject*[kChunkSize]());
          visit(pairs->owner(chunk->owners[i], first, second), key, chunk->value(i));
        }
    }
  }
}
