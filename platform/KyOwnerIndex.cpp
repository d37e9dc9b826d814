#include "KyOwnerIndex_p.h"

void KyOwnerIndex::grow() {
  index.assign(index.size() < 8 ? 8 : index.size() * 2, IndexSlot{0, 0});
  shift = 64;
  for (std::size_t n = index.size(); n > 1; n >>= 1)
    --shift;
  const std::size_t mask = index.size() - 1;
  for (std::uint32_t e = 0; e < made; ++e) {
    const Entry& at = entry(e);
    if (at.holding == KyValueHolding::kEmpty)
      continue;
    std::size_t i = home(at.hash);
    while (index[i].entry != 0)
      i = (i + 1) & mask;
    index[i] = IndexSlot{e + 1, at.hash};
  }
}

KyOwnerIndex::Entry& KyOwnerIndex::insert(std::size_t at, std::uint32_t hash) {
  std::uint32_t number;
  if (!holes.empty()) {
    number = holes.back();
    holes.pop_back();
  } else {
    if ((made & ((1u << kPageShift) - 1)) == 0)
      pages.emplace_back(new Entry[std::size_t{1} << kPageShift]);
    number = made++;
  }
  Entry& added = entry(number);
  added.hash = hash;
  ++count;
  if (count * 8 > index.size() * 7) {
    added.holding = KyValueHolding::kOwnsOwner; // not empty: grow() must index it
    grow();
  } else {
    index[at] = IndexSlot{number + 1, hash};
  }
  return added;
}

void KyOwnerIndex::erase(std::size_t hole) {
  const std::uint32_t removed = index[hole].entry - 1;
  const std::size_t mask = index.size() - 1;
  for (std::size_t i = (hole + 1) & mask; index[i].entry != 0; i = (i + 1) & mask) {
    const std::size_t want = home(index[i].hash);
    if (((i - want) & mask) >= ((i - hole) & mask)) {
      index[hole] = index[i];
      hole = i;
    }
  }
  index[hole] = IndexSlot{0, 0};
  entry(removed).holding = KyValueHolding::kEmpty;
  holes.push_back(removed);
  --count;
}
