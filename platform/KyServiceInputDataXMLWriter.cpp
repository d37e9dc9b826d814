#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyConstraintManagerXMLWriter.h>
#include <kyplatform/KyDList.h>
#include <kyplatform/KyDouble.h>
#include <kyplatform/KyGraphMember.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceInputDataXMLWriter.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyText.h>
#include <kyplatform/KyXMLStream.h>

#include "KyServiceInputDataXML_p.h"
#include "KyXMLObjectKind_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <numeric>
#include <string>
#include <typeinfo>
#include <vector>

using namespace xercesc;

namespace {
// Where the entries of one option go, by the kind of their owner.
enum class OwnerRank { none = 0, graph = 1, node = 2, edge = 3, other = 4 };

// How a message names a graph, node or edge that the document does not hold.
std::wstring stranger(const KyObject* object) {
  switch (kyXMLKindOf(object)) {
  case KyXMLObjectKind::node:
  case KyXMLObjectKind::edge:
    return std::wstring(kyXMLKindOf(object) == KyXMLObjectKind::node ? L"the node" : L"the edge") +
           L" at position " + std::to_wstring(static_cast<const KyGraphMember*>(object)->index()) +
           L" of a graph that the document does not hold";
  default:
    return L"a graph that the document does not hold";
  }
}

// Whether a reader of the document finds `object`, a graph, node or edge:
// an earlier part wrote it, or the object table names it.
bool known(KyXMLWriter& writer, const KyObject* object) {
  return kyXMLKindOf(object) == KyXMLObjectKind::other || writer.pKnownID(object) != nullptr;
}

} // namespace

struct KyServiceInputDataXMLWriter::Entry {
  const KyObject* owner;
  const wchar_t* key;
  KyObject* value;
  int keyOrder; // the key's place among the keys in text order
  OwnerRank rank;
  // One of the two, by rank, so that a million entries take less room.
  union {
    int position;      // of a node or edge in its graph
    const wchar_t* id; // of a graph or other owner (pID(), valid for the write)
  };
};

namespace {
struct TextRelease {
  void operator()(KyText* text) const { text->vRelease(); }
};
using Text = std::unique_ptr<KyText, TextRelease>;

} // namespace

KyServiceInputDataXMLWriter::KyServiceInputDataXMLWriter(const wchar_t* name)
    : name_(name != nullptr ? name : L"") {}

KyServiceInputDataXMLWriter::~KyServiceInputDataXMLWriter() = default;

KyServiceInputData* KyServiceInputDataXMLWriter::pServiceInputData() const {
  return dynamic_cast<KyServiceInputData*>(pTarget());
}

int KyServiceInputDataXMLWriter::populateDOMElement(DOMElement& element) {
  KyXMLStream out(element);
  return writeElement(out);
}

int KyServiceInputDataXMLWriter::writeElement(KyXMLStream& out) {
  const KyServiceInputData* data = pServiceInputData();
  if (data == nullptr)
    return fail(L"no input data to write");
  KyServiceName* service = data->pServiceName();
  if (service == nullptr || service->pInputDescriptionForLookup() == nullptr)
    return fail(L"the input data has no service name with option descriptions");
  std::vector<Entry> entries;
  std::vector<Run> options;
  if (sortedEntries(*data, entries, options) == 0)
    return 0;
  for (const auto& [first, last] : options)
    if (writeOption(out, *service, entries.data() + first, entries.data() + last) == 0)
      return 0;
  return 1;
}

// Every stored value with its owner's rank, sorted by key, then by owner:
// none first, then graphs, nodes and edges in their graph's order, then any
// other owner; graphs and other owners by identifier. `options` gets the
// entries of each key, in the order of the keys.
int KyServiceInputDataXMLWriter::sortedEntries(const KyServiceInputData& data,
                                               std::vector<Entry>& entries,
                                               std::vector<Run>& options) {
  entries.reserve(static_cast<std::size_t>(data.numberOfValues()));
  data.visitValues([&entries](const KyObject* owner, const wchar_t* key, KyObject* value) {
    entries.push_back(Entry{owner, key, value, 0, OwnerRank::none, {0}});
  });
  numberKeys(entries);
  for (Entry& entry : entries) {
    if (entry.owner == nullptr)
      continue;
    // An owner the document does not hold would name nothing when read.
    if (!known(*this, entry.owner))
      return fail(L"an owner of " + KyXMLText::quote(entry.key) + L" is " + stranger(entry.owner));
    switch (kyXMLKindOf(entry.owner)) {
    case KyXMLObjectKind::node:
    case KyXMLObjectKind::edge:
      entry.rank =
          kyXMLKindOf(entry.owner) == KyXMLObjectKind::node ? OwnerRank::node : OwnerRank::edge;
      entry.position = static_cast<const KyGraphMember*>(entry.owner)->index();
      continue;
    case KyXMLObjectKind::graph:
      entry.rank = OwnerRank::graph;
      break;
    case KyXMLObjectKind::other:
      entry.rank = OwnerRank::other;
      break;
    }
    entry.id = pID(entry.owner);
    if (entry.id == nullptr)
      return fail(L"input data is written only within a document");
  }
  const auto before = [](const Entry& a, const Entry& b) {
    if (a.keyOrder != b.keyOrder)
      return a.keyOrder < b.keyOrder;
    if (a.rank != b.rank)
      return a.rank < b.rank;
    switch (a.rank) {
    case OwnerRank::none:
      return false;
    case OwnerRank::node:
    case OwnerRank::edge:
      return a.position < b.position;
    case OwnerRank::graph:
    case OwnerRank::other:
      break;
    }
    return std::wcscmp(a.id, b.id) < 0;
  };
  // The store hands out its values key by key, and those of nodes and
  // edges by position: then each key's entries are one run, mostly sorted
  // already, and only the runs are put in order, which saves the sort and
  // the room it takes (half the entries) where a run is sorted. A merge
  // sort: the store's order drove std::sort into its heap-sort fallback.
  const auto split = [&entries, &options] {
    options.clear();
    for (std::size_t first = 0; first < entries.size();) {
      std::size_t last = first + 1;
      while (last < entries.size() && entries[last].keyOrder == entries[first].keyOrder)
        ++last;
      options.emplace_back(first, last);
      first = last;
    }
  };
  split();
  const auto keyOrder = [&entries](const Run& run) { return entries[run.first].keyOrder; };
  std::sort(options.begin(), options.end(),
            [&keyOrder](const Run& a, const Run& b) { return keyOrder(a) < keyOrder(b); });
  const auto repeated =
      std::adjacent_find(options.begin(), options.end(), [&keyOrder](const Run& a, const Run& b) {
        return keyOrder(a) == keyOrder(b);
      });
  if (repeated != options.end()) {
    // A key in more than one run: all are sorted as one.
    std::stable_sort(entries.begin(), entries.end(), before);
    split();
    return 1;
  }
  for (const auto& [first, last] : options) {
    const auto begin = entries.begin() + static_cast<std::ptrdiff_t>(first);
    const auto end = entries.begin() + static_cast<std::ptrdiff_t>(last);
    if (!std::is_sorted(begin, end, before))
      std::stable_sort(begin, end, before);
  }
  return 1;
}

// Sets the key order of every entry, so that sorting compares numbers, not
// texts: the keys are a few texts, each mostly behind the same pointer.
// Equal texts behind different pointers get the same number.
void KyServiceInputDataXMLWriter::numberKeys(std::vector<Entry>& entries) {
  std::vector<const wchar_t*> keys; // distinct pointers; entries hold indices first
  std::size_t last = 0;
  for (Entry& entry : entries) {
    if (last >= keys.size() || keys[last] != entry.key) {
      last =
          static_cast<std::size_t>(std::find(keys.begin(), keys.end(), entry.key) - keys.begin());
      if (last == keys.size())
        keys.push_back(entry.key);
    }
    entry.keyOrder = static_cast<int>(last);
  }
  std::vector<int> byText(keys.size());
  std::iota(byText.begin(), byText.end(), 0);
  std::sort(byText.begin(), byText.end(),
            [&keys](int a, int b) { return std::wcscmp(keys[a], keys[b]) < 0; });
  std::vector<int> order(keys.size());
  for (std::size_t i = 0; i < byText.size(); ++i)
    order[byText[i]] = i > 0 && std::wcscmp(keys[byText[i - 1]], keys[byText[i]]) == 0
                           ? order[byText[i - 1]]
                           : static_cast<int>(i);
  for (Entry& entry : entries)
    entry.keyOrder = order[entry.keyOrder];
}

// One "option" element for the entries [first, last) of one key; none
// when every value is left out as a default.
int KyServiceInputDataXMLWriter::writeOption(KyXMLStream& out, KyServiceName& service,
                                             const Entry* first, const Entry* last) {
  const KyServiceItemDescription* description =
      service.pInputDescriptionForLookup()->pOption(first->key);
  if (description == nullptr)
    return fail(L"the option " + KyXMLText::quote(first->key) + L" has no description");
  const bool isManager = description->pValueType() == KyServiceInputDataXML::kConstraintManagerType;
  const Text defaultText(isManager ? nullptr : defaultTextOf(service, *description));
  bool open = false;
  for (const Entry* entry = first; entry != last; ++entry) {
    if (!KyServiceInputDataXML::ownerFits(entry->owner, description->pOwnerType()))
      return fail(L"an owner of " + KyXMLText::quote(entry->key) + L" is not of the type " +
                  KyXMLText::quote(description->pOwnerType()));
    Text text;
    if (!isManager) {
      if (const KyObject* unknown = unknownIn(entry->value))
        return fail(L"the value of " + KyXMLText::quote(entry->key) +
                    (entry->owner != nullptr ? L" on " + KyXMLText::quote(pID(entry->owner))
                                             : std::wstring(L" without owner")) +
                    L" refers to " + stranger(unknown));
      text.reset(service.pConvertValueToString(entry->value, description->pValueType(), this));
      if (text == nullptr)
        return fail(L"a value of the option " + KyXMLText::quote(entry->key) +
                    L" is not of the type " + KyXMLText::quote(description->pValueType()));
      if (defaultText != nullptr && text->equals(defaultText.get()))
        continue;
    }
    if (!open) {
      out.start(u"option");
      out.attribute(u"key", entry->key);
      out.attribute(u"type", description->pValueType());
      open = true;
    }
    out.start(u"entry");
    if (entry->owner != nullptr)
      out.attribute(u"owner", pID(entry->owner));
    if (!isManager)
      out.attribute(u"value", text->pValue());
    else if (writeManager(out, service, *entry) == 0)
      return 0;
    out.end();
  }
  if (open)
    out.end();
  return 1;
}

// The first graph, node or edge that `value` is or holds (in a list) and
// that the document does not hold; null when there is none.
const KyObject* KyServiceInputDataXMLWriter::unknownIn(const KyObject* value) {
  if (value == nullptr || typeid(*value) == typeid(KyInt) || typeid(*value) == typeid(KyDouble))
    return nullptr; // the common case, told apart without a cast
  if (const auto* list = dynamic_cast<const KyDList*>(value)) {
    for (KyDListIter it(list); it; ++it)
      if (!known(*this, it.pObject()))
        return it.pObject();
    return nullptr;
  }
  return value != nullptr && !known(*this, value) ? value : nullptr;
}

// The text of the description's default value when defaults are left out;
// null when they are written or there is no default.
KyText* KyServiceInputDataXMLWriter::defaultTextOf(KyServiceName& service,
                                                   const KyServiceItemDescription& description) {
  const auto* withDefault = dynamic_cast<const KyServiceOptionDescription*>(&description);
  if (writingDefaults_ != 0 || withDefault == nullptr || withDefault->pDefaultValue() == nullptr)
    return nullptr;
  return service.pConvertValueToString(withDefault->pDefaultValue(), description.pValueType(),
                                       this);
}

// A constraint manager, written by a manager writer with the service's
// constraint writer.
int KyServiceInputDataXMLWriter::writeManager(KyXMLStream& out, KyServiceName& service,
                                              const Entry& entry) {
  auto* manager = dynamic_cast<KyConstraintManager*>(entry.value);
  if (manager == nullptr)
    return fail(L"a value of the option " + KyXMLText::quote(entry.key) +
                L" is not a constraint manager");
  KyConstraintManagerXMLWriter managerWriter;
  managerWriter.pConstraintWriter(service.pConstraintWriter());
  managerWriter.pOwner(const_cast<KyObject*>(entry.owner));
  KyHandlerScope<KyXMLWriter> scope(managerWriter, this, manager);
  out.start(u"constraintManager");
  if (managerWriter.writeElement(out) == 0)
    return 0;
  out.end();
  return 1;
}
