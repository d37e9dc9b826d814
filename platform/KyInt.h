// KyInt: an integer value object (also used for Booleans, 0 or 1).
#pragma once

#include <kyplatform/KyObject.h>

/// Immutable integer value; compares and hashes by value. Final: the stores
/// and tailors read integers by exact class.
class KYPLATFORM_EXPORT KyInt final : public KyObject {
public:
  explicit KyInt(int value) : value_(value) {}

  int value() const { return value_; }

  std::uint32_t hashCode() const override;
  bool equals(const KyObject* other) const override;
  std::size_t sizeOf() const override { return sizeof(KyInt); }

  static KyInt* castDown(const KyObject* object) {
    return static_cast<KyInt*>(const_cast<KyObject*>(object));
  }

private:
  int value_;
};
