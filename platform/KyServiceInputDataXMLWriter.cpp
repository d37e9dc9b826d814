#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyConstraintManagerXMLWriter.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceInputDataXMLWriter.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>
#include <kyplatform/KyText.h>

#include "KyServiceInputDataXML_p.h"
#include "KyXMLElement_p.h"
#include "KyXMLObjectKind_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <vector>

using namespace xercesc;

namespace {
struct Entry {
  const KyObject* owner;
  const wchar_t* key;
  KyObject* value;
  int rank;          // 0 no owner, 1 graph, 2 node, 3 edge, 4 other
  int position;      // of a node or edge in its graph
  const wchar_t* id; // of a graph or other owner (pID(), valid for the write)
};

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
  const KyServiceInputData* data = pServiceInputData();
  if (data == nullptr)
    return fail(L"no input data to write");
  KyServiceName* service = data->pServiceName();
  const KyServiceItemDescriptionManager* descriptions =
      service != nullptr ? service->pInputDescription() : nullptr;
  if (descriptions == nullptr)
    return fail(L"the input data has no service name with option descriptions");

  std::vector<Entry> entries;
  entries.reserve(static_cast<std::size_t>(data->numberOfValues()));
  data->visitValues([&entries](const KyObject* owner, const wchar_t* key, KyObject* value) {
    entries.push_back(Entry{owner, key, value, 4, 0, L""});
  });
  for (Entry& entry : entries) {
    const KyXMLObjectKind kind =
        entry.owner != nullptr ? kyXMLKindOf(entry.owner) : KyXMLObjectKind::other;
    if (entry.owner == nullptr) {
      entry.rank = 0;
    } else if (kind == KyXMLObjectKind::node || kind == KyXMLObjectKind::edge) {
      entry.rank = kind == KyXMLObjectKind::node ? 2 : 3;
      entry.position = static_cast<const KyGraphMember*>(entry.owner)->index();
    } else {
      entry.rank = kind == KyXMLObjectKind::graph ? 1 : 4;
      const wchar_t* id = pID(entry.owner);
      if (id == nullptr)
        return fail(L"input data is written only within a document");
      entry.id = id;
    }
  }
  // Keys are mostly the same few texts, so equal pointers spare the compare.
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (const int order = a.key == b.key ? 0 : std::wcscmp(a.key, b.key); order != 0)
      return order < 0;
    if (a.rank != b.rank)
      return a.rank < b.rank;
    if (a.position != b.position)
      return a.position < b.position;
    return std::wcscmp(a.id, b.id) < 0;
  });

  DOMElement* option = nullptr;
  const KyServiceItemDescription* description = nullptr;
  Text defaultText;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& entry = entries[i];
    const wchar_t* previous = i != 0 ? entries[i - 1].key : nullptr;
    if (previous == nullptr || (entry.key != previous && std::wcscmp(entry.key, previous) != 0)) {
      option = nullptr;
      description = descriptions->pOption(entry.key);
      if (description == nullptr)
        return fail(L"the option " + KyXMLText::quote(entry.key) + L" has no description");
      const auto* withDefault = dynamic_cast<const KyServiceOptionDescription*>(description);
      defaultText.reset(writingDefaults_ == 0 && withDefault != nullptr &&
                                withDefault->pDefaultValue() != nullptr
                            ? service->pConvertValueToString(withDefault->pDefaultValue(),
                                                             description->pValueType(), this)
                            : nullptr);
    }
    if (!KyServiceInputDataXML::ownerFits(entry.owner, description->pOwnerType()))
      return fail(L"an owner of " + KyXMLText::quote(entry.key) + L" is not of the type " +
                  KyXMLText::quote(description->pOwnerType()));
    const bool isManager =
        description->pValueType() == KyServiceInputDataXML::kConstraintManagerType;
    Text text;
    if (!isManager) {
      text.reset(service->pConvertValueToString(entry.value, description->pValueType(), this));
      if (text == nullptr)
        return fail(L"a value of the option " + KyXMLText::quote(entry.key) +
                    L" is not of the type " + KyXMLText::quote(description->pValueType()));
      if (defaultText != nullptr && text->equals(defaultText.get()))
        continue;
    }
    if (option == nullptr) {
      option = kyAppendElement(u"option", element);
      option->setAttribute(u"key", KyXMLText::toXML(entry.key).c_str());
      option->setAttribute(u"type", KyXMLText::toXML(description->pValueType()).c_str());
    }
    DOMElement* entryElement = kyAppendElement(u"entry", *option);
    if (entry.owner != nullptr) {
      const wchar_t* owner = pID(entry.owner);
      if (owner == nullptr)
        return fail(L"input data is written only within a document");
      entryElement->setAttribute(u"owner", KyXMLText::toXML(owner).c_str());
    }
    if (!isManager) {
      entryElement->setAttribute(u"value", KyXMLText::toXML(text->pValue()).c_str());
      continue;
    }
    auto* manager = dynamic_cast<KyConstraintManager*>(entry.value);
    if (manager == nullptr)
      return fail(L"a value of the option " + KyXMLText::quote(entry.key) +
                  L" is not a constraint manager");
    KyConstraintManagerXMLWriter managerWriter;
    managerWriter.pConstraintWriter(service->pConstraintWriter());
    managerWriter.pOwner(const_cast<KyObject*>(entry.owner));
    KyHandlerScope<KyXMLWriter> scope(managerWriter, this, manager);
    if (managerWriter.populateDOMElement(*kyAppendElement(u"constraintManager", *entryElement)) ==
        0)
      return 0;
  }
  return 1;
}
