#include "KyValueSlot_p.h"

KyObject* KyValueSlot::value(std::uint8_t& holding) {
  switch (holding & KyValueHolding::kHoldingMask) {
  case KyValueHolding::kEmpty:
    return nullptr;
  case KyValueHolding::kPlainInteger: {
    auto* made = new KyInt(plain());
    pointer(made);
    holding = static_cast<std::uint8_t>((holding & KyValueHolding::kOwnsOwner) |
                                        KyValueHolding::kMadeInteger);
    return made;
  }
  default:
    return pointer();
  }
}
