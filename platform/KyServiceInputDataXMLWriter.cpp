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

#include "KyServiceDataStore_p.h"
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
enum class OwnerRank : std::uint8_t { none = 0, graph = 1, node = 2, edge = 3, other = 4 };

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
  // The value; an integer whose text is written without its object is
  // kept as the number (`plain`), so that a million costs make no object.
  union {
    KyObject* value;
    int integer;
  };
  OwnerRank rank;
  bool plain;
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
  if (sortedEntries(*data, *service, entries, options) == 0)
    return 0;
  for (const Run& run : options)
    if (writeOption(out, *service, run.key, entries.data() + run.first,
                    entries.data() + run.last) == 0)
      return 0;
  return 1;
}

// Every stored value with its owner's rank, sorted by key, then by owner:
// none first, then graphs, nodes and edges in their graph's order, then any
// other owner; graphs and other owners by identifier. `options` gets the
// entries of each key, in the order of the keys.
int KyServiceInputDataXMLWriter::sortedEntries(const KyServiceInputData& data,
                                               KyServiceName& service, std::vector<Entry>& entries,
                                               std::vector<Run>& options) {
  entries.reserve(static_cast<std::size_t>(data.numberOfValues()));
  // The store hands out the keys in text order, each once with its
  // entries together: each key's entries are one run.
  const int plain = service.plainTexts();
  const KyServiceItemDescriptionManager* descriptions = service.pInputDescriptionForLookup();
  bool integerTexts = false;
  KyServiceDataStore::of(data).walk([&](const KyStoredEntry& stored) {
    if (options.empty() || stored.key() != options.back().key) {
      if (!options.empty())
        options.back().last = entries.size();
      options.push_back(Run{stored.key(), entries.size(), entries.size()});
      const KyServiceItemDescription* description = descriptions->pOption(stored.key());
      const std::wstring_view type =
          description != nullptr ? description->pValueType() : std::wstring_view();
      integerTexts =
          (plain & KyServiceName::kIntegerTexts) != 0 && (type == L"Integer" || type == L"Boolean");
    }
    Entry& entry = entries.emplace_back();
    entry.owner = stored.owner();
    entry.rank = OwnerRank::none;
    entry.plain = integerTexts && stored.integer(entry.integer);
    if (!entry.plain)
      entry.value = stored.value();
    return true;
  });
  if (!options.empty())
    options.back().last = entries.size();
  for (const Run& run : options)
    for (std::size_t i = run.first; i < run.last; ++i) {
      Entry& entry = entries[i];
      if (entry.owner == nullptr)
        continue;
      // An owner the document does not hold would name nothing when read.
      if (!known(*this, entry.owner))
        return fail(L"an owner of " + KyXMLText::quote(run.key) + L" is " + stranger(entry.owner));
      switch (kyXMLKindOf(entry.owner)) {
      case KyXMLObjectKind::node:
        entry.rank = OwnerRank::node;
        continue;
      case KyXMLObjectKind::edge:
        entry.rank = OwnerRank::edge;
        continue;
      case KyXMLObjectKind::graph:
        entry.rank = OwnerRank::graph;
        break;
      case KyXMLObjectKind::other:
        entry.rank = OwnerRank::other;
        break;
      }
      if (pID(entry.owner) == nullptr)
        return fail(L"input data is written only within a document");
    }
  const auto position = [](const Entry& entry) {
    return static_cast<const KyGraphMember*>(entry.owner)->index();
  };
  const auto before = [this, &position](const Entry& a, const Entry& b) {
    if (a.rank != b.rank)
      return a.rank < b.rank;
    switch (a.rank) {
    case OwnerRank::none:
      return false;
    case OwnerRank::node:
    case OwnerRank::edge:
      return position(a) < position(b);
    case OwnerRank::graph:
    case OwnerRank::other:
      break;
    }
    // Identifiers stay as the first pID() gave them for the write.
    return std::wcscmp(pID(a.owner), pID(b.owner)) < 0;
  };
  // Those of nodes and edges come by position, so a run is mostly sorted
  // already, and is sorted only where it is not, which saves the sort and
  // the room it takes (half the entries). A merge sort: the store's order
  // drove std::sort into its heap-sort fallback.
  for (const Run& run : options) {
    const auto begin = entries.begin() + static_cast<std::ptrdiff_t>(run.first);
    const auto end = entries.begin() + static_cast<std::ptrdiff_t>(run.last);
    if (!std::is_sorted(begin, end, before))
      std::stable_sort(begin, end, before);
  }
  return 1;
}

// One "option" element for the entries [first, last) of one key; none
// when every value is left out as a default.
int KyServiceInputDataXMLWriter::writeOption(KyXMLStream& out, KyServiceName& service,
                                             const wchar_t* key, const Entry* first,
                                             const Entry* last) {
  const KyServiceItemDescription* description = service.pInputDescriptionForLookup()->pOption(key);
  if (description == nullptr)
    return fail(L"the option " + KyXMLText::quote(key) + L" has no description");
  const bool isManager = description->pValueType() == KyServiceInputDataXML::kConstraintManagerType;
  const Text defaultText(isManager ? nullptr : defaultTextOf(service, *description));
  const bool booleans = std::wstring_view(description->pValueType()) == L"Boolean";
  bool open = false;
  wchar_t digits[16];
  for (const Entry* entry = first; entry != last; ++entry) {
    if (!KyServiceInputDataXML::ownerFits(entry->owner, description->pOwnerType()))
      return fail(L"an owner of " + KyXMLText::quote(key) + L" is not of the type " +
                  KyXMLText::quote(description->pOwnerType()));
    Text converted;
    std::wstring_view text;
    if (entry->plain) {
      text = booleans ? std::wstring_view(entry->integer != 0 ? L"true" : L"false")
                      : KyXMLText::formatInteger(entry->integer, digits);
    } else if (!isManager) {
      if (const KyObject* unknown = unknownIn(entry->value))
        return fail(L"the value of " + KyXMLText::quote(key) +
                    (entry->owner != nullptr ? L" on " + KyXMLText::quote(pID(entry->owner))
                                             : std::wstring(L" without owner")) +
                    L" refers to " + stranger(unknown));
      converted.reset(service.pConvertValueToString(entry->value, description->pValueType(), this));
      if (converted == nullptr)
        return fail(L"a value of the option " + KyXMLText::quote(key) + L" is not of the type " +
                    KyXMLText::quote(description->pValueType()));
      text = converted->pValue();
    }
    if (!isManager && defaultText != nullptr && text == defaultText->pValue())
      continue;
    if (!open) {
      out.start(u"option");
      out.attribute(u"key", key);
      out.attribute(u"type", description->pValueType());
      open = true;
    }
    out.start(u"entry");
    if (entry->owner != nullptr)
      out.attribute(u"owner", pID(entry->owner));
    if (!isManager)
      out.attribute(u"value", text);
    else if (writeManager(out, service, key, *entry) == 0)
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
                                              const wchar_t* key, const Entry& entry) {
  auto* manager = dynamic_cast<KyConstraintManager*>(entry.value);
  if (manager == nullptr)
    return fail(L"a value of the option " + KyXMLText::quote(key) +
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
