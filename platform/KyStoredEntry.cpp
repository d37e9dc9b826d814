#include "KyStoredEntry_p.h"

#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>

bool KyStoredEntry::integer(int& integer) const {
  const std::uint8_t held =
      chunk_ != nullptr ? chunk_->holding[slot_] : indexed_->holding & KyValueHolding::kHoldingMask;
  if (held == KyValueHolding::kPlainInteger || held == KyValueHolding::kMadeInteger) {
    integer = chunk_ != nullptr ? chunk_->integers[slot_] : indexed_->value.integer(held);
    return true;
  }
  const KyObject* object = chunk_ != nullptr ? chunk_->objects[slot_] : indexed_->value.pointer();
  // KyInt is final: an exact type test is the whole check.
  if (typeid(*object) != typeid(KyInt))
    return false;
  integer = static_cast<const KyInt*>(object)->value();
  return true;
}

const KyObject* KyStoredEntry::owner() const {
  switch (kind_) {
  case Owner::none:
    return nullptr;
  case Owner::object:
    return object_;
  case Owner::node:
    return graph_->pNodeAt(first_);
  case Owner::edge:
    return graph_->pEdgeAt(first_);
  case Owner::pair:
    break;
  }
  if (indexed_ != nullptr)
    return pairs_->owner(indexed_->owner, first_, second_);
  if (chunk_->owners == nullptr)
    chunk_->owners.reset(new KyObject*[KyValueChunk::kSize]());
  return pairs_->owner(chunk_->owners[slot_], first_, second_);
}

KyObject* KyStoredEntry::value() const {
  return chunk_ != nullptr ? chunk_->value(slot_) : indexed_->value.value(indexed_->holding);
}
