// Service names, item descriptions and their manager.
#include <kyanalysis/KyHashMap.h>
#include <kyanalysis/KyServiceItemDescription.h>
#include <kyanalysis/KyServiceItemDescriptionManager.h>
#include <kyanalysis/KyServiceName.h>

KyServiceItemDescriptionManager* KyServiceName::pInputDescription() { return nullptr; }
KyServiceItemDescriptionManager* KyServiceName::pOutputDescription() { return nullptr; }
KySerializer* KyServiceName::pSerializer() { return nullptr; }
const wchar_t* KyServiceName::pDefaultName() const { return nullptr; }
const wchar_t* KyServiceName::pServiceClassName() const { return nullptr; }
KyConstraintXMLWriter* KyServiceName::pConstraintWriter() { return nullptr; }
KyConstraintXMLReader* KyServiceName::pConstraintReader() { return nullptr; }

namespace {
const wchar_t* orEmpty(const wchar_t* text) { return text != nullptr ? text : L""; }
} // namespace

KyServiceItemDescription::KyServiceItemDescription(const wchar_t* key, const wchar_t* ownerType,
                                                   const wchar_t* valueType,
                                                   const wchar_t* explanation)
    : key_(orEmpty(key)), ownerType_(orEmpty(ownerType)), valueType_(orEmpty(valueType)),
      explanation_(explanation != nullptr ? std::make_unique<std::wstring>(explanation) : nullptr) {
}

KyServiceOptionDescription::KyServiceOptionDescription(const wchar_t* key, const wchar_t* ownerType,
                                                       const wchar_t* valueType,
                                                       const wchar_t* explanation, int required,
                                                       int specific, KyHashMap* enumeration,
                                                       KyObject* defaultValue)
    : KyServiceItemDescription(key, ownerType, valueType, explanation), required_(required),
      specific_(specific), enumeration_(enumeration), defaultValue_(defaultValue) {}

KyServiceOptionDescription::~KyServiceOptionDescription() {
  if (enumeration_ != nullptr)
    enumeration_->vRelease();
  if (defaultValue_ != nullptr)
    defaultValue_->vRelease();
}

KyServiceItemDescriptionManager::~KyServiceItemDescriptionManager() {
  byKey_.clear();
  descriptions_.deleteAllCellsAndObjects();
}

KyServiceItemDescription*
KyServiceItemDescriptionManager::pOption(KyServiceItemDescription* description) {
  if (description == nullptr || !byKey_.emplace(description->pKey(), description).second)
    return nullptr;
  descriptions_.appendObject(description);
  return description;
}

KyServiceItemDescription* KyServiceItemDescriptionManager::pOption(const wchar_t* key) const {
  if (key == nullptr)
    return nullptr;
  const auto found = byKey_.find(key);
  return found != byKey_.end() ? found->second : nullptr;
}
