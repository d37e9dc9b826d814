#include "KyValueChunk_p.h"

KyObject* KyValueChunk::value(int slot) const {
  switch (holding[slot]) {
  case KyValueHolding::kEmpty:
    return nullptr;
  case KyValueHolding::kPlainInteger:
    if (objects == nullptr)
      objects.reset(new KyObject*[kSize]);
    holding[slot] = KyValueHolding::kMadeInteger;
    return objects[slot] = new KyInt(integers[slot]);
  default:
    return objects[slot];
  }
}
