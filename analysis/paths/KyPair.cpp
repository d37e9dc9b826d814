#include <kyanalysis/KyPair.h>
#include <kyplatform/KyGraph.h>

namespace {
// A null member equals only null; any other member decides for itself.
bool sameMember(const KyObject* mine, const KyObject* theirs) {
  return mine == nullptr ? theirs == nullptr : mine->equals(theirs);
}

std::uint32_t memberHash(const KyObject* member) {
  return member != nullptr ? member->hashCode() : 0;
}
} // namespace

KyPair::KyPair() { init(); }

KyPair::KyPair(KyObject* first, KyObject* second) : first_(first), second_(second) {}

KyPair::KyPair(const KyPair& other, KyDeepFlagEnum flag) : KyObject() {
  init();
  if (flag == KY_DEEP_COPY)
    KyPairdeepCopy(other);
  else
    KyPairattributeCopy(other);
}

KyPair& KyPair::operator=(const KyPair& other) {
  if (&other != this)
    KyPairdeepCopy(other);
  return *this;
}

KyPair::~KyPair() = default;

void KyPair::copyObject(const KyObject* source) {
  const auto* other = dynamic_cast<const KyPair*>(source);
  if (other != nullptr && other != this)
    KyPairdeepCopy(*other);
}

void KyPair::copyAttributes(const KyObject* source) {
  const auto* other = dynamic_cast<const KyPair*>(source);
  if (other != nullptr && other != this)
    KyPairattributeCopy(*other);
}

std::uint32_t KyPair::hashCode() const { return memberHash(first_) ^ memberHash(second_); }

bool KyPair::equals(const KyObject* other) const {
  const auto* that = dynamic_cast<const KyPair*>(other);
  return that != nullptr && sameMember(first_, that->first_) && sameMember(second_, that->second_);
}

bool KyPair::ownerPlace(KyOwnerPlace& place) const {
  KyOwnerPlace first{}, second{};
  if (first_ == nullptr || second_ == nullptr || !first_->ownerPlace(first) ||
      !second_->ownerPlace(second) || first.kind != KyOwnerPlace::KY_PLACE_NODE ||
      second.kind != KyOwnerPlace::KY_PLACE_NODE || first.graph != second.graph)
    return false;
  place =
      KyOwnerPlace{first.graph, KyOwnerPlace::KY_PLACE_NODE_PAIR, first.first, second.first,
                   [](const KyOwnerPlace& at) -> KyObject* {
                     return new KyPair(at.graph->pNodeAt(at.first), at.graph->pNodeAt(at.second));
                   }};
  return true;
}

KyObject* KyPair::vCloneObject() const { return new KyPair(*this, KY_DEEP_COPY); }

KyObject* KyPair::vCloneAttributes() const { return new KyPair(*this, KY_ATTRIBUTE_COPY); }

void KyPair::init() {
  first_ = nullptr;
  second_ = nullptr;
}

void KyPair::KyPairdeepCopy(const KyPair& other) {
  KyObject::copyObject(&other);
  first_ = other.first_;
  second_ = other.second_;
}

void KyPair::KyPairattributeCopy(const KyPair& other) {
  KyObject::copyAttributes(&other);
  first_ = other.first_;
  second_ = other.second_;
}
