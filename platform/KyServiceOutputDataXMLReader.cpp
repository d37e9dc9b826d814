#include <kyplatform/KyOwningDList.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyServiceOutputDataXMLReader.h>
#include <kyplatform/KyXMLStartTag.h>

#include "KyServiceOutputDataXML_p.h"
#include "KyXMLText_p.h"

#include <memory>
#include <vector>

using namespace xercesc;

// What the part holds, kept until the whole document was read: the values
// to store and the owners made to key them, released unless they are
// stored.
struct KyServiceOutputDataXMLReader::Staging {
  struct Entry {
    KyObject* owner;
    int ownerOwned;
    const wchar_t* key;
    KyObject* value;
    int owned;
  };
  ~Staging() {
    for (const Entry& entry : entries) {
      if (entry.owned != 0)
        entry.value->vRelease();
      if (entry.ownerOwned != 0)
        entry.owner->vRelease();
    }
  }

  std::vector<Entry> entries;
  // The result and entry being read.
  const KyServiceItemDescription* description = nullptr;
  std::wstring key;
  std::wstring innerType;         // of a list of lists; empty otherwise
  KyOwningDList* lists = nullptr; // the list of lists being read, in entries
};

KyServiceOutputDataXMLReader::KyServiceOutputDataXMLReader(const wchar_t* name)
    : name_(name != nullptr ? name : L"") {}

KyServiceOutputDataXMLReader::~KyServiceOutputDataXMLReader() = default;

KyServiceOutputData* KyServiceOutputDataXMLReader::pServiceOutputData() const {
  return dynamic_cast<KyServiceOutputData*>(pTarget());
}

int KyServiceOutputDataXMLReader::processDOMElement(const DOMElement& element) {
  return readAsStream(element);
}

int KyServiceOutputDataXMLReader::readsStream() const { return 1; }

KyServiceName* KyServiceOutputDataXMLReader::pService() const {
  const KyServiceOutputData* data = pServiceOutputData();
  return data != nullptr ? data->pServiceName() : nullptr;
}

int KyServiceOutputDataXMLReader::startElement(const KyXMLStartTag& tag, int depth) {
  if (depth == 0) {
    if (pServiceOutputData() == nullptr)
      return fail(L"no output data to read into");
    if (pService() == nullptr || pService()->pOutputDescription() == nullptr)
      return fail(L"the output data has no service name with result descriptions");
    staging_ = std::make_unique<Staging>();
    return 1;
  }
  const std::u16string_view name = tag.pName();
  if (depth == 1 && name == u"result")
    return startResult(tag);
  if (depth == 2 && name == u"entry")
    return startEntry(tag);
  if (depth == 3 && name == u"list" && staging_->lists != nullptr)
    return startList(tag);
  return fail(L"the part holds an element " + KyXMLText::quote(KyXMLText::toWide(tag.pName())) +
              (depth == 1
                   ? std::wstring(L" that is not a result")
                   : L" where the result " + KyXMLText::quote(staging_->key) + L" holds none"));
}

int KyServiceOutputDataXMLReader::finishRead(int complete) {
  const std::unique_ptr<Staging> staging = std::move(staging_);
  if (complete == 0 || staging == nullptr)
    return complete;
  KyServiceOutputData* data = pServiceOutputData();
  for (const Staging::Entry& entry : staging->entries)
    data->setValue(entry.owner, entry.key, entry.value, entry.owned, entry.ownerOwned);
  staging->entries.clear();
  return 1;
}

int KyServiceOutputDataXMLReader::startResult(const KyXMLStartTag& tag) {
  Staging& staging = *staging_;
  staging.key = KyXMLText::toWide(tag.pAttribute(u"key"));
  staging.description = pService()->pResultDescription(staging.key.c_str());
  if (staging.description == nullptr)
    return fail(L"the result " + KyXMLText::quote(staging.key) + L" is unknown");
  const std::wstring type = KyXMLText::toWide(tag.pAttribute(u"type"));
  if (type != staging.description->pValueType())
    return fail(L"the result " + KyXMLText::quote(staging.key) + L" has the type " +
                KyXMLText::quote(type) + L" instead of " +
                KyXMLText::quote(staging.description->pValueType()));
  staging.innerType = KyServiceOutputDataXML::innerListType(type);
  return 1;
}

int KyServiceOutputDataXMLReader::startEntry(const KyXMLStartTag& tag) {
  Staging& staging = *staging_;
  const KyServiceItemDescription& description = *staging.description;
  staging.lists = nullptr;
  KyObject* owner = nullptr;
  int ownerOwned = 0;
  if (const XMLCh* id = tag.pAttribute(u"owner")) {
    KyXMLText::toWide(id, text_);
    owner = pService()->pConvertStringToOwner(text_.c_str(), description.pOwnerType(), this,
                                              ownerOwned);
    if (owner == nullptr)
      return fail(L"the owner " + KyXMLText::quote(text_) + L" of " +
                  KyXMLText::quote(staging.key) + L" names nothing of the type " +
                  KyXMLText::quote(description.pOwnerType()));
  } else if (std::wstring_view(description.pOwnerType()) != L"none") {
    return fail(L"an entry of " + KyXMLText::quote(staging.key) + L" has no owner");
  }
  // Held from here, so that a failure below releases a made owner.
  staging.entries.push_back(Staging::Entry{owner, ownerOwned, description.pKey(), nullptr, 0});
  Staging::Entry& entry = staging.entries.back();
  const XMLCh* value = tag.pAttribute(u"value");
  if (!staging.innerType.empty()) {
    if (value != nullptr)
      return fail(L"an entry of " + KyXMLText::quote(staging.key) +
                  L" has a value instead of lists");
    staging.lists = new KyOwningDList;
    entry.value = staging.lists;
    entry.owned = 1;
    return 1;
  }
  if (value == nullptr)
    return fail(L"an entry of " + KyXMLText::quote(staging.key) + L" has no value");
  KyXMLText::toWide(value, text_);
  int owned = 0;
  KyObject* read =
      pService()->pConvertStringToValue(text_.c_str(), description.pValueType(), this, owned);
  if (read == nullptr)
    return fail(L"the value " + KyXMLText::quote(text_) + L" of " + KyXMLText::quote(staging.key) +
                L" is not a " + description.pValueType());
  entry.value = read;
  entry.owned = owned;
  return 1;
}

int KyServiceOutputDataXMLReader::startList(const KyXMLStartTag& tag) {
  Staging& staging = *staging_;
  const XMLCh* value = tag.pAttribute(u"value");
  if (value == nullptr)
    return fail(L"a list of " + KyXMLText::quote(staging.key) + L" has no value");
  KyXMLText::toWide(value, text_);
  int owned = 0;
  KyObject* list =
      pService()->pConvertStringToValue(text_.c_str(), staging.innerType.c_str(), this, owned);
  if (list != nullptr && owned == 0)
    list = nullptr;
  if (list == nullptr)
    return fail(L"the list " + KyXMLText::quote(text_) + L" of " + KyXMLText::quote(staging.key) +
                L" is not a " + staging.innerType);
  staging.lists->appendObject(list);
  return 1;
}
