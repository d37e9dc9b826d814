#include <kyplatform/KyDList.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyServiceOutputDataXMLWriter.h>
#include <kyplatform/KyText.h>
#include <kyplatform/KyXMLStream.h>

#include "KyServiceOutputDataXML_p.h"
#include "KyXMLText_p.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <vector>

using namespace xercesc;

namespace {

struct TextRelease {
  void operator()(KyText* text) const { text->vRelease(); }
};
using Text = std::unique_ptr<KyText, TextRelease>;

struct Entry {
  const KyObject* owner;
  const wchar_t* key;
  KyObject* value;
};

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

  std::vector<Entry> entries;
  entries.reserve(static_cast<std::size_t>(data->numberOfValues()));
  data->visitValues([&entries](const KyObject* owner, const wchar_t* key, KyObject* value) {
    entries.push_back(Entry{owner, key, value});
  });
  // Keys are mostly the same few texts, so equal pointers spare the compare.
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.key != b.key && std::wcscmp(a.key, b.key) < 0;
  });

  const KyServiceItemDescription* description = nullptr;
  std::wstring_view inner;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& entry = entries[i];
    if (description == nullptr || std::wcscmp(description->pKey(), entry.key) != 0) {
      if (description != nullptr)
        out.end();
      description = service->pResultDescription(entry.key);
      if (description == nullptr)
        return fail(L"the result " + KyXMLText::quote(entry.key) + L" has no description");
      inner = KyServiceOutputDataXML::innerListType(description->pValueType());
      out.start(u"result");
      out.attribute(u"key", entry.key);
      out.attribute(u"type", description->pValueType());
    }
    out.start(u"entry");
    if (entry.owner != nullptr) {
      const Text owner(
          service->pConvertOwnerToString(entry.owner, description->pOwnerType(), this));
      if (owner == nullptr)
        return fail(L"an owner of " + KyXMLText::quote(entry.key) + L" is not of the type " +
                    KyXMLText::quote(description->pOwnerType()));
      out.attribute(u"owner", owner->pValue());
    }
    auto valueFault = [&] {
      return fail(L"a value of the result " + KyXMLText::quote(entry.key) + L" is not a " +
                  description->pValueType());
    };
    if (inner.empty()) {
      const Text text(service->pConvertValueToString(entry.value, description->pValueType(), this));
      if (text == nullptr)
        return valueFault();
      out.attribute(u"value", text->pValue());
    } else {
      const auto* lists = dynamic_cast<const KyDList*>(entry.value);
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
  }
  if (description != nullptr)
    out.end();
  return 1;
}
