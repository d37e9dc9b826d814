#include "KyServicePartReading_p.h"

#include <kyplatform/KyInt.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyXMLStartTag.h>

#include "KyXMLText_p.h"

#include <typeinfo>

namespace {
// How messages name the data, its items and their descriptions.
struct Words {
  const wchar_t* data;
  const wchar_t* item;
  const wchar_t* descriptions;
};
constexpr Words kInput{L"input", L"option", L"option descriptions"};
constexpr Words kOutput{L"output", L"result", L"result descriptions"};
} // namespace

KyServicePartReading::KyServicePartReading(Part part, KyXMLReader& reader) : part_(part) {
  pParent(&reader);
}

KyServicePartReading::~KyServicePartReading() {
  for (const Entry& entry : entries_) {
    if (entry.owned && entry.value != nullptr)
      entry.value->vRelease();
    if (entry.ownerOwned)
      entry.owner->vRelease();
  }
}

int KyServicePartReading::begin(KyServiceData* data) {
  const Words& words = part_ == Part::input ? kInput : kOutput;
  if (data == nullptr)
    return fail(std::wstring(L"no ") + words.data + L" data to read into");
  service_ = data->pServiceName();
  if (service_ == nullptr || (part_ == Part::input ? service_->pInputDescriptionForLookup()
                                                   : service_->pOutputDescription()) == nullptr)
    return fail(std::wstring(L"the ") + words.data + L" data has no service name with " +
                words.descriptions);
  data_ = data;
  return 1;
}

int KyServicePartReading::startItem(const KyXMLStartTag& tag) {
  const Words& words = part_ == Part::input ? kInput : kOutput;
  key_ = KyXMLText::toWide(tag.pAttribute(u"key"));
  description_ = part_ == Part::input
                     ? service_->pInputDescriptionForLookup()->pOption(key_.c_str())
                     : service_->pResultDescription(key_.c_str());
  if (description_ == nullptr)
    return fail(std::wstring(L"the ") + words.item + L" " + KyXMLText::quote(key_) +
                L" is unknown");
  keys_.emplace_back(entries_.size(), description_->pKey());
  const XMLCh* type = tag.pAttribute(u"type");
  if (KyXMLText::compare(type, description_->pValueType()) != 0)
    return fail(std::wstring(L"the ") + words.item + L" " + KyXMLText::quote(key_) +
                L" has the type " + KyXMLText::quote(KyXMLText::toWide(type)) + L" instead of " +
                KyXMLText::quote(description_->pValueType()));
  return 1;
}

KyObject* KyServicePartReading::pValue(const XMLCh* text, int& owned) {
  if (text == nullptr) {
    fail(L"an entry of " + KyXMLText::quote(key_) + L" has no value");
    return nullptr;
  }
  owned = 0;
  KyObject* value = service_->pConvertStringToValue(wide(text).c_str(), description_->pValueType(),
                                                    pParent(), owned);
  if (value == nullptr)
    fail(L"the value " + KyXMLText::quote(text_) + L" of " + KyXMLText::quote(key_) +
         L" is not of the type " + KyXMLText::quote(description_->pValueType()));
  return value;
}

const std::wstring& KyServicePartReading::wide(const XMLCh* text) {
  KyXMLText::toWide(text, text_);
  return text_;
}

KyServicePartReading::Entry& KyServicePartReading::keep(KyObject* owner, int ownerOwned,
                                                        KyObject* value, int owned) {
  // KyInt is final: an exact type test is the whole check.
  if (owned != 0 && value != nullptr && typeid(*value) == typeid(KyInt)) {
    const int integer = static_cast<const KyInt*>(value)->value();
    value->vRelease();
    return entries_.emplace_back(Entry{owner, nullptr, integer, false, ownerOwned != 0, true});
  }
  return entries_.emplace_back(Entry{owner, value, 0, owned != 0, ownerOwned != 0, false});
}

int KyServicePartReading::finish(int complete) {
  if (complete == 0 || data_ == nullptr)
    return complete;
  std::size_t item = 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    while (item + 1 < keys_.size() && keys_[item + 1].first <= i)
      ++item;
    const wchar_t* key = keys_[item].second;
    const Entry& entry = entries_[i];
    if (entry.plain)
      data_->storeInteger(entry.owner, key, entry.integer, entry.ownerOwned ? 1 : 0);
    else
      data_->setValue(entry.owner, key, entry.value, entry.owned ? 1 : 0, entry.ownerOwned ? 1 : 0);
  }
  entries_.clear();
  keys_.clear();
  return complete;
}
