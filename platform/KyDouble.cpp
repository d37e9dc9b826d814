#include <kyplatform/KyDouble.h>

#include <cmath>
#include <cstring>

std::uint32_t KyDouble::hashCode() const {
  if (std::isnan(value_))
    return 0x7ff80000u;
  const double normalized = value_ == 0.0 ? 0.0 : value_;
  std::uint64_t bits;
  std::memcpy(&bits, &normalized, sizeof bits);
  return static_cast<std::uint32_t>(bits ^ (bits >> 32));
}

bool KyDouble::equals(const KyObject* other) const {
  const auto* that = dynamic_cast<const KyDouble*>(other);
  if (that == nullptr)
    return false;
  return that->value_ == value_ || (std::isnan(that->value_) && std::isnan(value_));
}
