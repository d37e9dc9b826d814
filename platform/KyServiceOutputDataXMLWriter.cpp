#include <kyplatform/KyDList.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyServiceOutputDataXMLWriter.h>
#include <kyplatform/KyText.h>
#include <kyplatform/KyXMLStream.h>
#include <kyplatform/KyXMLWriteStop.h>

#include "KyServiceOutputDataXML_p.h"
#include "KyXMLText_p.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <memory>
#include <unordered_map>
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

/// `entries` in the order of their keys' texts, those of one text in the
/// order given: what a stable sort by key gives, in O(entries) plus a sort
/// of the few distinct key texts (an answer of millions of values has a
/// handful of keys, mostly as one pointer each).
std::vector<Entry> byKey(std::vector<Entry> entries) {
  std::unordered_map<const wchar_t*, std::uint32_t> slotOf;
  std::vector<const wchar_t*> keys;
  std::vector<std::uint32_t> slots(entries.size());
  const wchar_t* lastKey = nullptr;
  std::uint32_t lastSlot = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].key != lastKey || i == 0) {
      lastKey = entries[i].key;
      const auto found = slotOf.emplace(lastKey, static_cast<std::uint32_t>(keys.size()));
      if (found.second)
        keys.push_back(lastKey);
      lastSlot = found.first->second;
    }
    slots[i] = lastSlot;
  }
  // Each key's rank among the texts; equal texts at different addresses
  // share one.
  std::vector<std::size_t> order(keys.size());
  for (std::size_t k = 0; k < order.size(); ++k)
    order[k] = k;
  std::sort(order.begin(), order.end(),
            [&keys](std::size_t a, std::size_t b) { return std::wcscmp(keys[a], keys[b]) < 0; });
  std::vector<std::size_t> rank(keys.size());
  std::size_t ranks = 0;
  for (std::size_t k = 0; k < order.size(); ++k) {
    if (k > 0 && std::wcscmp(keys[order[k - 1]], keys[order[k]]) != 0)
      ++ranks;
    rank[order[k]] = ranks;
  }
  // A counting sort on the ranks keeps the given order within each.
  std::vector<std::size_t> start(keys.empty() ? 0 : ranks + 2, 0);
  for (std::uint32_t slot : slots)
    ++start[rank[slot] + 1];
  for (std::size_t r = 1; r < start.size(); ++r)
    start[r] += start[r - 1];
  std::vector<Entry> sorted(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i)
    sorted[start[rank[slots[i]]]++] = entries[i];
  return sorted;
}

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
  if (KyXMLWriteStop::requested())
    return fail(L"the write was stopped");
  entries = byKey(std::move(entries));

  const KyServiceItemDescription* description = nullptr;
  std::wstring_view inner;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i % 1024 == 1023 && KyXMLWriteStop::requested())
      return fail(L"the write was stopped");
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
