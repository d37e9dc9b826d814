// KyPairTable: one key's values on pairs of nodes of one graph. Internal to
// the platform library.
#pragma once

#include "KyGraphKey_p.h"
#include "KyOwnerIndex_p.h"
#include "KyValueChunk_p.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

/// One key's entries for pairs of nodes of one graph. They go to an index
/// keyed by both positions until the pairs are many for the graph's size (a
/// sixteenth of all pairs, as an all-pairs answer makes); from then on new
/// ones go to chunks of 64 slots, one per first node and block of 64 second
/// nodes, which an answer of every pair fills up. Entries already indexed
/// stay there. No entry keeps the pair it was stored under: its owner is
/// made, and kept, only when someone asks for it.
struct KyPairTable : KyGraphKey {
  struct Hash {
    std::size_t operator()(std::uint64_t key) const {
      return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 17);
    }
  };

  /// The hash of a pair's two positions: every bit of both reaches the
  /// top half, which the index uses, so (a, b), (b, a) and (a, a) spread
  /// alike.
  static std::uint32_t hash(int first, int second) {
    const std::uint64_t mixed =
        static_cast<std::uint32_t>(first) * 0x9E3779B97F4A7C15ull ^
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(second)) + 0x632BE59BD9B4E019ull) *
            0xC2B2AE3D27D4EB4Full;
    return static_cast<std::uint32_t>((mixed ^ (mixed >> 29)) >> 32);
  }

  explicit KyPairTable(const KyOwnerPlace& place) : KyGraphKey(place.graph), make(place.make) {}

  /// The owner of the entry at (first, second) whose made owner is `made`:
  /// made now when it is null.
  KyObject* owner(KyObject*& made, int first, int second) const {
    if (made == nullptr)
      made = make(KyOwnerPlace{graph, KyOwnerPlace::KY_PLACE_NODE_PAIR, first, second, make});
    return made;
  }
  /// The key of the chunk of (first, second): the first position and the
  /// block of the second; secondOf() gives a slot's second position back.
  static std::uint64_t chunkKey(int first, int second) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(first)) << 32) |
           static_cast<std::uint32_t>(second >> KyValueChunk::kShift);
  }
  static int firstOf(std::uint64_t key) { return static_cast<int>(key >> 32); }
  static int secondOf(std::uint64_t key, int slot) {
    return static_cast<int>((key & 0xFFFFFFFFu) << KyValueChunk::kShift) + slot;
  }
  /// The chunk of `key`, or null.
  KyValueChunk* chunk(std::uint64_t key) const {
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
  /// The indexed entry of (first, second), or null.
  KyOwnerIndex::Entry* indexed(int first, int second) const;
  /// Whether new pairs go to chunks.
  bool chunked() const {
    const auto n = static_cast<std::size_t>(graph->numberOfNodes());
    return !chunks.empty() || index.count * 16 >= n * n;
  }

  /// Makes the chunk of `key`; the first one marks the rows of the entries
  /// indexed so far, the only rows the index can hold from then on.
  KyValueChunk* addChunk(std::uint64_t key);

  KyObject* (*make)(const KyOwnerPlace&);
  KyOwnerIndex index;
  std::unordered_map<std::uint64_t, std::unique_ptr<KyValueChunk>, Hash> chunks;
  std::vector<bool> indexedRows; // set while there are chunks
  mutable std::uint64_t lastKey = 0;
  mutable KyValueChunk* last = nullptr;
};
