#include <kyplatform/KyInt.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceName.h>

#include "KyValueStore_p.h"

#include <string>
#include <typeinfo>
#include <utility>
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

KyObject* KyServiceData::pValue(const KyObject* owner, const wchar_t* key) const {
  return values_->get(owner, key);
}

int KyServiceData::getValueAsInteger(const KyObject* owner, const wchar_t* key) const {
  const KyObject* stored = pValue(owner, key);
  // KyInt is final: an exact type test is the whole check.
  return stored != nullptr && typeid(*stored) == typeid(KyInt)
             ? static_cast<const KyInt*>(stored)->value()
             : 0;
}

void KyServiceData::removeAllValues() {
  std::vector<std::pair<const KyObject*, std::wstring>> owned;
  std::vector<std::wstring> unowned;
  visitValues([&](const KyObject* owner, const wchar_t* key, KyObject*) {
    if (owner != nullptr)
      owned.emplace_back(owner, key);
    else
      unowned.emplace_back(key);
  });
  for (const auto& entry : owned)
    removeValue(const_cast<KyObject*>(entry.first), entry.second.c_str());
  for (const auto& key : unowned)
    removeValue(nullptr, key.c_str());
}

int KyServiceData::numberOfValues() const { return static_cast<int>(values_->size()); }

void KyServiceData::visitValues(
    const std::function<void(const KyObject* owner, const wchar_t* key, KyObject* value)>& visit)
    const {
  values_->forEach(visit);
}

KyServiceName* KyServiceData::pServiceName(KyServiceName* name) {
  if (name != serviceName_) {
    delete serviceName_;
    serviceName_ = name;
  }
  return serviceName_;
}
