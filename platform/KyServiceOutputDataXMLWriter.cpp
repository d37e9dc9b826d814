#include <kyplatform/KyDList.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyServiceOutputDataXMLWriter.h>
#include <kyplatform/KyText.h>
#include <kyplatform/KyXMLStream.h>
#include <kyplatform/KyXMLWriteStop.h>

#include "KyServiceDataStore_p.h"
#include "KyServiceOutputDataXML_p.h"
#include "KyXMLText_p.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

using namespace xercesc;

namespace {

struct TextRelease {
  void operator()(KyText* text) const { text->vRelease(); }
};
using Text = std::unique_ptr<KyText, TextRelease>;

} // namespace

KyServiceOutputDataXMLWriter::KyServiceOutputDataXMLWriter(const wchar_t* name)
    : name_(name != nullptr ? name : L"") {}

KyServiceOutputDataXMLWriter::~KyServiceOutputDataXMLWriter() = default;

KyServiceOutputData* KyServiceOutputDataXMLWriter::pServiceOutputData() const {
  return dynamic_cast<KyServiceOutputData*>(pTarget());
}

int KyServiceOutputDataXMLWriter::populateDOMElement(DOMElement& element) {
  KyXMLStream out(element);
  return writeElement(out);
}

int KyServiceOutputDataXMLWriter::writeElement(KyXMLStream& out) {
  const KyServiceOutputData* data = pServiceOutputData();
  if (data == nullptr)
    return fail(L"no output data to write");
  KyServiceName* service = data->pServiceName();
  if (service == nullptr || service->pOutputDescription() == nullptr)
    return fail(L"the output data has no service name with result descriptions");

  if (KyXMLWriteStop::requested())
    return fail(L"the write was stopped");
  // Integers and pairs of nodes are written here, without an object per
  // value, where the name's converters are known to write them so.
  const int plain = service->plainTexts();
  const wchar_t* key = nullptr;
  const KyServiceItemDescription* description = nullptr;
  std::wstring_view inner;
  bool integerTexts = false, booleanTexts = false, pairTexts = false;
  std::wstring pairText;
  wchar_t digits[16];
  std::size_t count = 0;
  int result = 1;
  const auto write = [&](const KyStoredEntry& entry) {
    if (++count % 1024 == 0 && KyXMLWriteStop::requested())
      return fail(L"the write was stopped");
    // The walk hands each key text once, its entries together.
    if (entry.key() != key) {
      key = entry.key();
      if (description != nullptr)
        out.end();
      description = service->pResultDescription(entry.key());
      if (description == nullptr)
        return fail(L"the result " + KyXMLText::quote(entry.key()) + L" has no description");
      const std::wstring_view valueType = description->pValueType();
      inner = KyServiceOutputDataXML::innerListType(valueType);
      integerTexts = (plain & KyServiceName::kIntegerTexts) != 0 && valueType == L"Integer";
      booleanTexts = (plain & KyServiceName::kIntegerTexts) != 0 && valueType == L"Boolean";
      pairTexts = (plain & KyServiceName::kPairTexts) != 0 &&
                  std::wstring_view(description->pOwnerType()) == L"KyPair";
      out.start(u"result");
      out.attribute(u"key", entry.key());
      out.attribute(u"type", description->pValueType());
    }
    out.start(u"entry");
    const auto ownerFault = [&] {
      return fail(L"an owner of " + KyXMLText::quote(entry.key()) + L" is not of the type " +
                  KyXMLText::quote(description->pOwnerType()));
    };
    if (pairTexts && entry.ownerKind() == KyStoredEntry::Owner::pair) {
      const wchar_t* first = pID(entry.graph()->pNodeAt(entry.first()));
      const wchar_t* second =
          first != nullptr ? pID(entry.graph()->pNodeAt(entry.second())) : nullptr;
      if (second == nullptr)
        return ownerFault();
      pairText.assign(first);
      pairText.push_back(L' ');
      pairText.append(second);
      out.attribute(u"owner", pairText);
    } else if (entry.ownerKind() != KyStoredEntry::Owner::none) {
      const Text owner(
          service->pConvertOwnerToString(entry.owner(), description->pOwnerType(), this));
      if (owner == nullptr)
        return ownerFault();
      out.attribute(u"owner", owner->pValue());
    }
    const auto valueFault = [&] {
      return fail(L"a value of the result " + KyXMLText::quote(entry.key()) + L" is not a " +
                  description->pValueType());
    };
    int integer = 0;
    if ((integerTexts || booleanTexts) && entry.integer(integer)) {
      out.attribute(u"value", integerTexts   ? KyXMLText::formatInteger(integer, digits)
                              : integer != 0 ? std::wstring_view(L"true")
                                             : std::wstring_view(L"false"));
    } else if (inner.empty()) {
      const Text text(
          service->pConvertValueToString(entry.value(), description->pValueType(), this));
      if (text == nullptr)
        return valueFault();
      out.attribute(u"value", text->pValue());
    } else {
      const auto* lists = dynamic_cast<const KyDList*>(entry.value());
      if (lists == nullptr)
        return valueFault();
      const std::wstring innerType(inner);
      for (KyDListIter it(lists); it; ++it) {
        const Text text(service->pConvertValueToString(it.pObject(), innerType.c_str(), this));
        if (text == nullptr)
          return valueFault();
        out.start(u"list");
        out.attribute(u"value", text->pValue());
        out.end();
      }
    }
    out.end();
    return 1;
  };
  KyServiceDataStore::of(*data).walk([&](const KyStoredEntry& entry) {
    result = write(entry);
    return result != 0;
  });
  if (result == 0)
    return 0;
  if (description != nullptr)
    out.end();
  return 1;
}
