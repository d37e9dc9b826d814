// KyValueSlot: room for one value of a value store, and how it holds it.
// Internal to the platform library.
#pragma once

#include <kyplatform/KyInt.h>

#include <cstdint>
#include <cstring>
#include <typeinfo>

/// How a slot holds its value, and whether its entry holds its owner: one
/// byte beside the slot.
struct KyValueHolding {
  enum : std::uint8_t {
    kEmpty = 0,
    kPlainInteger, // an integer the store made, its KyInt not made yet
    kMadeInteger,  // that integer with its KyInt made, held as kOwned is
    kOwned,        // a value handed over, or a KyDouble the store made
    kReferenced,   // a value that stays the caller's
    kHoldingMask = 7,
    kOwnsOwner = 8,
  };
};

/// Room for one value: a pointer to it, or a plain integer. 8 bytes.
struct alignas(8) KyValueSlot {
  KyObject* pointer() const {
    KyObject* object;
    std::memcpy(&object, bytes, sizeof object);
    return object;
  }
  void pointer(KyObject* object) { std::memcpy(bytes, &object, sizeof object); }
  int plain() const {
    int integer;
    std::memcpy(&integer, bytes, sizeof integer);
    return integer;
  }
  void plain(int integer) { std::memcpy(bytes, &integer, sizeof integer); }

  /// The value the slot holds as `holding` says, or null; a plain integer
  /// gets its KyInt now, and `holding` says so.
  KyObject* value(std::uint8_t& holding);
  /// What the slot, which holds a value, reads as an integer: a plain
  /// integer or a KyInt's value, 0 for another value.
  int integer(std::uint8_t holding) const {
    return (holding & KyValueHolding::kHoldingMask) == KyValueHolding::kPlainInteger
               ? plain()
               : integerOf(pointer());
  }
  /// The integer a value reads as: a KyInt's own, 0 for any other class.
  static int integerOf(const KyObject* value) {
    return typeid(*value) == typeid(KyInt) ? static_cast<const KyInt*>(value)->value() : 0;
  }

  unsigned char bytes[8];
};
