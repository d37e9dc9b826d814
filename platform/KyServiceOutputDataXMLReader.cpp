#include <kyplatform/KyOwningDList.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyServiceOutputDataXMLReader.h>
#include <kyplatform/KyXMLStartTag.h>

#include "KyServiceOutputDataXML_p.h"
#include "KyServicePartReading_p.h"
#include "KyXMLText_p.h"

#include <memory>

using namespace xercesc;

// The read of the part, and the result and entry being read.
struct KyServiceOutputDataXMLReader::Staging : KyServicePartReading {
  explicit Staging(KyXMLReader& reader) : KyServicePartReading(Part::output, reader) {}

  std::wstring innerType;         // of a list of lists; empty otherwise
  KyOwningDList* lists = nullptr; // the list of lists being read, kept
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

int KyServiceOutputDataXMLReader::startElement(const KyXMLStartTag& tag, int depth) {
  if (depth == 0) {
    staging_ = std::make_unique<Staging>(*this);
    return staging_->begin(pServiceOutputData());
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
                   : L" where the result " + KyXMLText::quote(staging_->key()) + L" holds none"));
}

int KyServiceOutputDataXMLReader::finishRead(int complete) {
  const std::unique_ptr<Staging> staging = std::move(staging_);
  return staging != nullptr ? staging->finish(complete) : complete;
}

int KyServiceOutputDataXMLReader::startResult(const KyXMLStartTag& tag) {
  Staging& staging = *staging_;
  if (staging.startItem(tag) == 0)
    return 0;
  staging.innerType = KyServiceOutputDataXML::innerListType(staging.description().pValueType());
  return 1;
}

int KyServiceOutputDataXMLReader::startEntry(const KyXMLStartTag& tag) {
  Staging& staging = *staging_;
  const KyServiceItemDescription& description = staging.description();
  staging.lists = nullptr;
  KyObject* owner = nullptr;
  int ownerOwned = 0;
  if (const XMLCh* id = tag.pAttribute(u"owner")) {
    const std::wstring& text = staging.wide(id);
    owner = staging.service().pConvertStringToOwner(text.c_str(), description.pOwnerType(), this,
                                                    ownerOwned);
    if (owner == nullptr)
      return fail(L"the owner " + KyXMLText::quote(text) + L" of " +
                  KyXMLText::quote(staging.key()) + L" names nothing of the type " +
                  KyXMLText::quote(description.pOwnerType()));
  } else if (std::wstring_view(description.pOwnerType()) != L"none") {
    return fail(L"an entry of " + KyXMLText::quote(staging.key()) + L" has no owner");
  }
  // Kept from here, so that a failure below releases a made owner.
  KyServicePartReading::Entry& entry = staging.keep(owner, ownerOwned, nullptr, 0);
  const XMLCh* value = tag.pAttribute(u"value");
  if (!staging.innerType.empty()) {
    if (value != nullptr)
      return fail(L"an entry of " + KyXMLText::quote(staging.key()) +
                  L" has a value instead of lists");
    staging.lists = new KyOwningDList;
    entry.value = staging.lists;
    entry.owned = true;
    return 1;
  }
  int owned = 0;
  entry.value = staging.pValue(value, owned);
  entry.owned = owned != 0;
  return entry.value != nullptr ? 1 : 0;
}

int KyServiceOutputDataXMLReader::startList(const KyXMLStartTag& tag) {
  Staging& staging = *staging_;
  const XMLCh* value = tag.pAttribute(u"value");
  if (value == nullptr)
    return fail(L"a list of " + KyXMLText::quote(staging.key()) + L" has no value");
  const std::wstring& text = staging.wide(value);
  int owned = 0;
  KyObject* list =
      staging.service().pConvertStringToValue(text.c_str(), staging.innerType.c_str(), this, owned);
  if (list != nullptr && owned == 0)
    list = nullptr;
  if (list == nullptr)
    return fail(L"the list " + KyXMLText::quote(text) + L" of " + KyXMLText::quote(staging.key()) +
                L" is not of the type " + KyXMLText::quote(staging.innerType));
  staging.lists->appendObject(list);
  return 1;
}
