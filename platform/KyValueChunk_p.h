// KyValueChunk: 64 value slots of a value store by position. Internal to
// the platform library.
#pragma once

#include "KyValueSlot_p.h"

#include <cstdint>
#include <memory>

/// 64 value slots by position. An integer the store made stays a plain int
/// until someone asks for its object, which is then made on the heap and
/// kept beside the int; any other value is a pointer. Pair chunks also keep
/// the owners made for their slots. Nothing is released by the chunk: the
/// store takes each value out first.
struct KyValueChunk {
  static constexpr int kShift = 6;
  static constexpr int kSize = 1 << kShift;

  /// The value of a slot, made now when it is a plain integer; null when
  /// the slot is empty.
  KyObject* value(int slot) const;
  /// What the slot reads as an integer: a plain integer or a KyInt's value,
  /// 0 for another value; false when the slot is empty.
  bool integer(int slot, int& integer) const {
    const std::uint8_t held = holding[slot];
    if (held == KyValueHolding::kPlainInteger || held == KyValueHolding::kMadeInteger) {
      integer = integers[slot];
      return true;
    }
    if (held == KyValueHolding::kEmpty)
      return false;
    integer = KyValueSlot::integerOf(objects[slot]);
    return true;
  }

  std::int32_t integers[kSize];
  mutable std::uint8_t holding[kSize] = {};
  int count = 0;
  mutable std::unique_ptr<KyObject*[]> objects; // values other than plain integers
  mutable std::unique_ptr<KyObject*[]> owners;  // a pair chunk's owners, when made
};
