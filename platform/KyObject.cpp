#include <kyplatform/KyObject.h>

KyObject::~KyObject() = default;

void KyObject::copyObject(const KyObject*) {}

void KyObject::copyAttributes(const KyObject*) {}

std::uint32_t KyObject::hashCode() const { return identityHash(this); }

bool KyObject::equals(const KyObject* other) const { return other == this; }

std::size_t KyObject::sizeOf() const { return sizeof(KyObject); }

bool KyObject::ownerPlace(KyOwnerPlace&) const { return false; }

void KyObject::debugOutput(int) {}

void KyObject::vRelease() {
  if (--claims_ == 0)
    delete this;
}
