#include <kyplatform/KyDouble.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceName.h>

#include "KyValueStore_p.h"

#include <algorithm>
#include <typeinfo>
#include <vector>

KyServiceData::KyServiceData() : values_(std::make_unique<KyValueStore>()) {}

KyServiceData::~KyServiceData() {
  values_.reset();
  delete serviceName_;
}

void KyServiceData::setValue(KyObject* owner, const wchar_t* key, KyObject* value, int owned,
                             int ownerOwned) {
  values_->set(owner, key, value, owned != 0, ownerOwned != 0);
}

// The store's own classes keep made values plain; a subclass may store
// values its own way, so it is handed a KyInt or KyDouble through setValue().
void KyServiceData::storeInteger(KyObject* owner, const wchar_t* key, int value, int ownerOwned) {
  if (readsStore())
    values_->setInteger(owner, key, value, ownerOwned != 0);
  else if (key != nullptr)
    setValue(owner, key, new KyInt(value), 1, ownerOwned);
  else if (ownerOwned != 0 && owner != nullptr)
    owner->vRelease(); // stored nowhere
}

void KyServiceData::storeDouble(KyObject* owner, const wchar_t* key, double value) {
  if (readsStore())
    values_->setDouble(owner, key, value);
  else if (key != nullptr)
    setValue(owner, key, new KyDouble(value), 1, 0);
}

std::vector<int> KyServiceData::memberIntegers(const wchar_t* key, const KyGraph& graph, bool edges,
                                               int missing) const {
  if (readsStore())
    return values_->memberIntegers(
        key, graph, edges ? KyOwnerPlace::KY_PLACE_EDGE : KyOwnerPlace::KY_PLACE_NODE, missing);
  std::vector<int> values(
      static_cast<std::size_t>(edges ? graph.numberOfEdges() : graph.numberOfNodes()), missing);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto at = static_cast<int>(i);
    findInteger(edges ? static_cast<const KyObject*>(graph.pEdgeAt(at)) : graph.pNodeAt(at), key,
                values[i]);
  }
  return values;
}

namespace {
// Calls store(i, member) for the node (`edges` false) or edge of `graph` at
// each position i below `count` and its members.
template <class Store>
void eachMember(const KyGraph& graph, bool edges, std::size_t count, Store store) {
  const std::size_t members =
      static_cast<std::size_t>(edges ? graph.numberOfEdges() : graph.numberOfNodes());
  for (std::size_t i = 0; i < std::min(count, members); ++i) {
    const auto at = static_cast<int>(i);
    store(i, edges ? static_cast<KyObject*>(graph.pEdgeAt(at)) : graph.pNodeAt(at));
  }
}
} // namespace

void KyServiceData::storeMemberIntegers(const wchar_t* key, const KyGraph& graph, bool edges,
                                        const std::vector<int>& values, int missing) {
  if (readsStore()) {
    values_->setMemberIntegers(key, graph,
                               edges ? KyOwnerPlace::KY_PLACE_EDGE : KyOwnerPlace::KY_PLACE_NODE,
                               values, missing);
    return;
  }
  eachMember(graph, edges, values.size(), [&](std::size_t i, KyObject* member) {
    if (values[i] != missing)
      storeInteger(member, key, values[i]);
  });
}

void KyServiceData::storeMemberReferences(const wchar_t* key, const KyGraph& graph, bool edges,
                                          const std::vector<KyObject*>& objects) {
  if (readsStore()) {
    values_->setMemberReferences(
        key, graph, edges ? KyOwnerPlace::KY_PLACE_EDGE : KyOwnerPlace::KY_PLACE_NODE, objects);
    return;
  }
  eachMember(graph, edges, objects.size(), [&](std::size_t i, KyObject* member) {
    if (objects[i] != nullptr)
      storeReference(member, key, objects[i]);
  });
}

KyObject* KyServiceData::pValue(const KyObject* owner, const wchar_t* key) const {
  return values_->get(owner, key);
}

int KyServiceData::getValueAsInteger(const KyObject* owner, const wchar_t* key) const {
  int integer = 0;
  findInteger(owner, key, integer);
  return integer;
}

bool KyServiceData::readsStore() const {
  if (readsStore_ < 0) {
    const std::type_info& type = typeid(*this);
    readsStore_ = type == typeid(KyServiceInputData) || type == typeid(KyServiceOutputData) ||
                  type == typeid(KyServiceData);
  }
  return readsStore_ != 0;
}

bool KyServiceData::findInteger(const KyObject* owner, const wchar_t* key, int& integer) const {
  if (readsStore())
    return values_->getInteger(owner, key, integer);
  const KyObject* stored = pValue(owner, key);
  if (stored == nullptr)
    return false;
  // KyInt is final: an exact type test is the whole check.
  integer = typeid(*stored) == typeid(KyInt) ? static_cast<const KyInt*>(stored)->value() : 0;
  return true;
}

bool KyServiceData::storedMemberInteger(const KyGraphMember& member, const wchar_t* key,
                                        int& integer) const {
  return values_->getMemberInteger(member, key, integer);
}

void KyServiceData::trustKeys(KeyTest test) { values_->trustKeys(test); }

void KyServiceData::removeAllValues() { values_->clear(); }

int KyServiceData::numberOfValues() const { return static_cast<int>(values_->size()); }

void KyServiceData::visitValues(const std::function<void(const KyObject* owner, const wchar_t* key,
                                                         KyObject* value)>& visit) const {
  values_->forEach(visit);
}

KyServiceName* KyServiceData::pServiceName(KyServiceName* name) {
  if (name != serviceName_) {
    delete serviceName_;
    serviceName_ = name;
  }
  return serviceName_;
}
