#include "KyPairTable_p.h"

KyOwnerIndex::Entry* KyPairTable::indexed(int first, int second) const {
  if (index.count == 0 ||
      (!chunks.empty() &&
       (static_cast<std::size_t>(first) >= indexedRows.size() || !indexedRows[first])))
    return nullptr;
  const std::uint32_t number =
      index
          .index[index.find(hash(first, second),
                            [&](const KyOwnerIndex::Entry& entry) {
                              return entry.first == first && entry.second == second;
                            })]
          .entry;
  return number != 0 ? &index.entry(number - 1) : nullptr;
}

KyValueChunk* KyPairTable::addChunk(std::uint64_t key) {
  if (chunks.empty()) {
    indexedRows.assign(static_cast<std::size_t>(graph->numberOfNodes()), false);
    index.forEach([&](const KyOwnerIndex::Entry& entry) { indexedRows[entry.first] = true; });
  }
  last = nullptr;
  return chunks.emplace(key, std::make_unique<KyValueChunk>()).first->second.get();
}
