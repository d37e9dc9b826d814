// KyValueStore: the (owner, key) -> value table behind the service data
// stores. Internal to the platform library; not installed.
#pragma once

#include "KyOwnerIndex_p.h"
#include "KyPairTable_p.h"
#include "KyPositionColumn_p.h"
#include "KyStoredEntry_p.h"
#include "KyValueChunk_p.h"
#include "KyValueSlot_p.h"

#include <kyplatform/KyObject.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class KyGraphMember;

/// Values keyed by (owner object, key text).
///
/// Entries are grouped per key text, so a lookup hashes the text once to
/// find a small per-key table. Within it, owners with a place
/// (KyOwnerPlace) are filed by position: the nodes, or edges, of one graph
/// in a column of 64-slot chunks indexed by position; pairs of nodes of one
/// graph in an index keyed by the two positions, so that (a, b), (b, a) and
/// every (a, a) spread alike. Other owners go to an index keyed by their
/// hashCode() and equals(). No entry ever moves. A lookup or a store costs
/// O(length of the key) plus O(1) on average. Values (and owners) handed
/// over are released with vRelease() when replaced, removed or when the
/// store goes. An integer the store makes (setInteger) is kept as a plain
/// int (5 bytes in all on a member or a pair filed by position) until
/// someone asks for its object: the KyInt is then made on the heap and held
/// as a value handed over, so a claim on it keeps it alive past its
/// replacement. A double (setDouble) is a KyDouble made on the heap at once.
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
  /// Stores a KyInt, or a KyDouble, holding `value` that the store makes and
  /// owns, as set() stores a value handed over. Returns false, and releases
  /// an owner handed over, when `key` is null.
  bool setInteger(KyObject* owner, const wchar_t* key, int value, bool ownsOwner);
  bool setDouble(KyObject* owner, const wchar_t* key, double value);
  /// The value under (owner, key), or null.
  KyObject* get(const KyObject* owner, const wchar_t* key) const;
  /// Whether there is a value under (owner, key); if so `integer` gets what
  /// it reads as: a KyInt's value, 0 for another value. Makes no KyInt.
  bool getInteger(const KyObject* owner, const wchar_t* key, int& integer) const;
  /// getInteger() for a node or an edge, found by its graph and position
  /// without asking the member for its place. O(length of the key) plus
  /// O(columns of the key); a key address filed before and vouched for by
  /// the key test is trusted without comparing its text.
  bool getMemberInteger(const KyGraphMember& member, const wchar_t* key, int& integer) const;
  /// The test of key texts that cannot change (null: none); asked when a
  /// key address is filed.
  void trustKeys(bool (*test)(const wchar_t* key));
  /// For every node (or edge) of `graph` by position, the value under `key`
  /// read as an integer: a KyInt's own, 0 for another value, `missing` for
  /// none. O(members) plus the key's length.
  std::vector<int> memberIntegers(const wchar_t* key, const KyGraph& graph, KyOwnerPlace::Kind kind,
                                  int missing) const;
  /// Stores `values[i]` under `key` on the node (or edge) of `graph` at
  /// position i, as setInteger() would one by one; positions holding
  /// `missing` are left as they are. O(values) plus the key's length.
  void setMemberIntegers(const wchar_t* key, const KyGraph& graph, KyOwnerPlace::Kind kind,
                         const std::vector<int>& values, int missing);
  /// Stores a reference to `objects[i]`, which stays the caller's, under
  /// `key` on the node (or edge) of `graph` at position i, as set() would
  /// one by one; null positions are left as they are. O(objects) plus the
  /// key's length.
  void setMemberReferences(const wchar_t* key, const KyGraph& graph, KyOwnerPlace::Kind kind,
                           const std::vector<KyObject*>& objects);
  /// Removes every entry, releasing what was handed over. O(entries).
  void clear();
  /// Number of entries.
  std::size_t size() const { return size_; }
  /// Calls `visit` once per entry, key by key, making the owner and value
  /// objects as KyStoredEntry::owner() and value() do. The store must not
  /// change during the walk.
  void forEach(const std::function<void(const KyObject* owner, const wchar_t* key,
                                        KyObject* value)>& visit) const;
  /// Hands every entry to `visit` as it is kept, making no object: the keys
  /// in the order of their texts (wcscmp), each key's entries in a fixed
  /// order: owners filed by hash, then members of each graph by position,
  /// then pairs. Ends as soon as `visit` returns false, and then returns
  /// false. The store must not change during the walk. O(entries) plus a
  /// sort of the keys.
  bool walk(const std::function<bool(const KyStoredEntry& entry)>& visit) const;

private:
  using Holding = KyValueHolding;
  using Slot = KyValueSlot;
  using Chunk = KyValueChunk;
  using Column = KyPositionColumn;
  using Indexed = KyOwnerIndex;
  using PairTable = KyPairTable;
  struct Cell;
  struct Taken;
  struct Found;
  struct Table;
  // What a store puts in place of an entry's value.
  struct Put {
    enum What { kObject, kInteger, kDouble } what;
    KyObject* object;
    bool owns;
    int integer;
    double real;
  };

  // A key address seen by set() and the table it led to.
  struct KnownKey {
    const wchar_t* address = nullptr;
    const wchar_t* text = nullptr; // the table's own copy of the key
    Table* table = nullptr;
    bool constant = false; // the key test vouched for the address
  };
  static constexpr std::size_t kKnownKeys = 64;

  // The shared path of set(), setInteger() and setDouble(): finds the
  // entry of (owner, key), then puts `put` in it, or removes it.
  void store(KyObject* owner, const wchar_t* key, const Put* put, bool ownsOwner);
  // The shared path of setMemberIntegers() and setMemberReferences(): for
  // each position p below `values` and the members, value(p, put) fills
  // `put` and says whether p gets it.
  template <class Value>
  void fillMembers(const wchar_t* key, const KyGraph& graph, KyOwnerPlace::Kind kind,
                   std::size_t values, Put put, Value value);
  void storeMember(Table& table, const KyOwnerPlace& place, const Put* put);
  // The column of `place`'s graph and kind, and its chunk `at`, made when
  // missing; fillSlot() puts `put` in a slot and counts a new entry.
  Column& columnToFill(Table& table, const KyOwnerPlace& place);
  // Drops the columns and pair tables of graphs that are gone, releasing
  // their values.
  void dropGone(Table& table);
  static Chunk& chunkToFill(Column& column, std::size_t at);
  void fillSlot(Column& column, Chunk& chunk, int slot, const Put& put);
  void storePair(Table& table, const KyOwnerPlace& place, const Put* put);
  // Stores in an index: `same` tells the entry of the owner among those of
  // `hash`; `first` and `second` are kept for a pair.
  template <class Same>
  void storeIndexed(Indexed& indexed, std::uint32_t hash, Same same, KyObject* owner, int first,
                    int second, const Put* put, bool ownsOwner);
  // Fills a new entry: its owner, and `put` in its cell.
  void fill(Cell cell, KyObject*& heldOwner, KyObject* owner, const Put& put, bool ownsOwner);
  // Changes an entry that holds a value: its owner as setValue() says, and
  // `put` in its cell. With a null `put` it takes the value and the owner
  // out, releases them and returns true: the caller then drops the entry.
  bool change(Cell cell, KyObject*& heldOwner, KyObject* owner, const Put* put, bool ownsOwner);
  // Puts a value in a cell, or in a chunk's slot; returns what it held, to
  // release.
  Taken putValue(Cell cell, const Put& put);
  Taken putValue(Chunk& chunk, int slot, const Put& put);
  // putValue() for an empty slot and an integer or an object, neither
  // taking nor releasing anything: the bulk stores' common case, inline.
  static void putInEmpty(Chunk& chunk, int slot, const Put& put);
  // Takes a cell's, or a chunk slot's, value out, leaving it empty.
  static Taken take(Cell cell);
  static Taken take(Chunk& chunk, int slot);
  // Ends the store's hold on a value taken out.
  void release(const Taken& taken);
  // Where the value of `owner` in a key's table is, or would be.
  Found locate(const Table& table, const KyObject* owner) const;
  // getInteger() in a key's table.
  bool integerInTable(const Table& table, const KyObject* owner, int& integer) const;
  // The table of `key`, or null: the one last stored through the same
  // address when its text still matches (or, for an address the key test
  // vouched for, without looking), else tableByText().
  Table* table(const wchar_t* key) const;
  Table* tableByText(const wchar_t* key) const;
  Table* tableToFill(const wchar_t* key);
  static std::size_t knownSlot(const wchar_t* key);

  std::unordered_map<std::wstring_view, std::unique_ptr<Table>> tables_;
  std::array<KnownKey, kKnownKeys> known_{};
  bool (*keyTest_)(const wchar_t* key) = nullptr;
  std::size_t size_ = 0;
};
