// KyDouble: a double value object.
#pragma once

#include <kyplatform/KyObject.h>

/// Immutable double value; compares and hashes by value. 0.0 and -0.0 are
/// equal, and every NaN equals every other NaN, so a double can serve as a
/// hash key. Final: the stores and tailors read doubles by exact class.
class KYPLATFORM_EXPORT KyDouble final : public KyObject {
public:
  explicit KyDouble(double value) : value_(value) {}

  double value() const { return value_; }

  std::uint32_t hashCode() const override;
  bool equals(const KyObject* other) const override;
  std::size_t sizeOf() const override { return sizeof(KyDouble); }

  static KyDouble* castDown(const KyObject* object) {
    return static_cast<KyDouble*>(const_cast<KyObject*>(object));
  }

private:
  double value_;
};
