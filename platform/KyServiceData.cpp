#include <kyanalysis/KyInt.h>
#include <kyanalysis/KyServiceData.h>
#include <kyanalysis/KyServiceName.h>

#include "KyValueStore_p.h"

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
  const auto* value = dynamic_cast<const KyInt*>(pValue(owner, key));
  return value != nullptr ? value->value() : 0;
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
