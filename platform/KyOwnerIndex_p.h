// KyOwnerIndex: a value store's entries found by hash. Internal to the
// platform library.
#pragma once

#include "KyValueSlot_p.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

/// Entries found through an index: linear probing over a power-of-two array
/// of 8-byte slots, kept at most seven eighths full. A slot holds an entry's
/// number plus one (0 marks an empty slot) and its hash, so a probe passes
/// over the slots of other owners without touching their entries; slots are
/// placed by Fibonacci hashing of the hash. Entries sit in pages of 256 and
/// never move: a removed entry's room is taken by the next one added.
struct KyOwnerIndex {
  struct Entry {
    KyValueSlot value;
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

  /// The slot of the entry of `hash` for which same(entry) holds, or the
  /// empty slot where it would go. The index must not be empty.
  template <class Same> std::size_t find(std::uint32_t hash, Same same) const {
    const std::size_t mask = index.size() - 1;
    for (std::size_t i = home(hash);; i = (i + 1) & mask) {
      const IndexSlot slot = index[i];
      if (slot.entry == 0 || (slot.hash == hash && same(entry(slot.entry - 1))))
        return i;
    }
  }

  /// Rebuilds the index at twice the size (at least 8 slots).
  void grow();
  /// A new entry of `hash`, which must not be present, at the empty slot
  /// `at`, its value still to be put.
  Entry& insert(std::size_t at, std::uint32_t hash);
  /// Removes the entry of slot `hole`, whose value is out. Backward-shift
  /// deletion keeps every probe chain unbroken.
  void erase(std::size_t hole);

  /// Calls visit(entry) for every entry that holds a value; it may change
  /// the entry, not the index.
  template <class Visit> void forEach(Visit visit) const {
    for (std::uint32_t e = 0; e < made; ++e)
      if (entry(e).holding != KyValueHolding::kEmpty)
        visit(entry(e));
  }

  std::vector<std::unique_ptr<Entry[]>> pages;
  std::uint32_t made = 0; // entries ever made
  std::vector<std::uint32_t> holes;
  std::vector<IndexSlot> index;
  unsigned shift = 64;
  std::size_t count = 0;
};
