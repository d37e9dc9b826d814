#include <kyanalysis/KyObject.h>

KyObject::~KyObject() = default;

void KyObject::copyObject(const KyObject*) {}

void KyObject::copyAttributes(const KyObject*) {}

std::uint32_t KyObject::hashCode() const {
  // Objects are at least 8-byte aligned: drop the constant low bits and fold
  // the high half in, so nearby objects get well-spread hashes.
  const std::uint64_t address = reinterpret_cast<std::uintptr_t>(this) >> 3;
  return static_cast<std::uint32_t>(address ^ (address >> 32));
}

bool KyObject::equals(const KyObject* other) const { return other == this; }

std::size_t KyObject::sizeOf() const { return sizeof(KyObject); }

void KyObject::debugOutput(int) {}

void KyObject::vRelease() {
  if (--claims_ == 0)
    delete this;
}
