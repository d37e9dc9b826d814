#include <kyplatform/KyInt.h>

std::uint32_t KyInt::hashCode() const { return static_cast<std::uint32_t>(value_); }

bool KyInt::equals(const KyObject* other) const {
  const auto* that = dynamic_cast<const KyInt*>(other);
  return that != nullptr && that->value_ == value_;
}
