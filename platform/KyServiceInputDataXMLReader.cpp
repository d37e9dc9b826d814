#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyConstraintManagerXMLReader.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceInputDataXMLReader.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>

#include "KyServiceInputDataXML_p.h"
#include "KyXMLElement_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <xercesc/dom/DOMAttr.hpp>

#include <vector>

using namespace xercesc;

namespace {
struct Entry {
  KyObject* owner;
  const wchar_t* key;
  KyObject* value;
  int owned;
};

// Values read but not yet handed to the input data; those made for the
// read are released unless the read succeeds.
class Staged {
public:
  ~Staged() {
    for (const Entry& entry : entries)
      if (entry.owned != 0)
        entry.value->vRelease();
  }
  std::vector<Entry> entries;
};

} // namespace

KyServiceInputDataXMLReader::KyServiceInputDataXMLReader(const wchar_t* name)
    : name_(name != nullptr ? name : L"") {}

KyServiceInputDataXMLReader::~KyServiceInputDataXMLReader() = default;

KyServiceInputData* KyServiceInputDataXMLReader::pServiceInputData() const {
  return dynamic_cast<KyServiceInputData*>(pTarget());
}

int KyServiceInputDataXMLReader::processDOMElement(const DOMElement& element) {
  KyServiceInputData* data = pServiceInputData();
  if (data == nullptr)
    return fail(L"no input data to read into");
  KyServiceName* service = data->pServiceName();
  const KyServiceItemDescriptionManager* descriptions =
      service != nullptr ? service->pInputDescription() : nullptr;
  if (descriptions == nullptr)
    return fail(L"the input data has no service name with option descriptions");

  Staged staged;
  std::vector<const DOMElement*> managers;
  std::wstring ownerID, value; // reused for every entry
  for (const DOMElement* option = element.getFirstElementChild(); option != nullptr;
       option = option->getNextElementSibling()) {
    if (std::u16string_view(option->getTagName()) != u"option")
      return fail(L"the part holds an element " +
                  KyXMLText::quote(KyXMLText::toWide(option->getTagName())) +
                  L" that is not an option");
    const std::wstring key = KyXMLText::toWide(option->getAttribute(u"key"));
    const KyServiceItemDescription* description = descriptions->pOption(key.c_str());
    if (description == nullptr)
      return fail(L"the option " + KyXMLText::quote(key) + L" is unknown");
    const std::wstring type = KyXMLText::toWide(option->getAttribute(u"type"));
    if (type != description->pValueType())
      return fail(L"the option " + KyXMLText::quote(key) + L" has the type " +
                  KyXMLText::quote(type) + L" instead of " +
                  KyXMLText::quote(description->pValueType()));
    const bool isManager = type == KyServiceInputDataXML::kConstraintManagerType;

    for (const DOMElement* entry = option->getFirstElementChild(); entry != nullptr;
         entry = entry->getNextElementSibling()) {
      if (std::u16string_view(entry->getTagName()) != u"entry")
        return fail(L"the option " + KyXMLText::quote(key) + L" holds an element " +
                    KyXMLText::quote(KyXMLText::toWide(entry->getTagName())) +
                    L" that is not an entry");
      KyObject* owner = nullptr;
      if (const XMLCh* id = kyAttributeValue(*entry, u"owner")) {
        KyXMLText::toWide(id, ownerID);
        owner = pObject(ownerID.c_str());
        if (owner == nullptr)
          return fail(L"the owner " + KyXMLText::quote(ownerID) +
                      L" of " + KyXMLText::quote(key) + L" names nothing");
      }
      if (!KyServiceInputDataXML::ownerFits(owner, description->pOwnerType()))
        return fail(L"an owner of " + KyXMLText::quote(key) + L" is not of the type " +
                    KyXMLText::quote(description->pOwnerType()));

      if (isManager) {
        const DOMElement* manager = entry->getFirstElementChild();
        if (manager == nullptr ||
            std::u16string_view(manager->getTagName()) != u"constraintManager" ||
            manager->getNextElementSibling() != nullptr)
          return fail(L"an entry of " + KyXMLText::quote(key) +
                      L" holds no single constraint manager");
        if (manager->getAttributeNode(u"parent") != nullptr &&
            dynamic_cast<KyGraph*>(pElementObject(L"parent", *manager)) == nullptr)
          return fail(L"the parent of a constraint manager of " + KyXMLText::quote(key) +
                      L" is not a graph of the document");
        // A trial read into a manager of its own proves the constraints
        // readable before anything changes.
        KyConstraintManager trial;
        KyConstraintManagerXMLReader trialReader;
        trialReader.pConstraintReader(service->pConstraintReader());
        KyHandlerScope<KyXMLReader> scope(trialReader, this, &trial);
        if (trialReader.processDOMElement(*manager) == 0)
          return 0;
        managers.push_back(manager);
        continue;
      }

      const XMLCh* text = kyAttributeValue(*entry, u"value");
      if (text == nullptr)
        return fail(L"an entry of " + KyXMLText::quote(key) + L" has no value");
      KyXMLText::toWide(text, value);
      int owned = 0;
      KyObject* read = service->pConvertStringToValue(value.c_str(), type.c_str(), this, owned);
      if (read == nullptr)
        return fail(L"the value " + KyXMLText::quote(value) + L" of " + KyXMLText::quote(key) +
                    L" is not of the type " + KyXMLText::quote(type));
      staged.entries.push_back(Entry{owner, description->pKey(), read, owned});
    }
  }

  for (const Entry& entry : staged.entries)
    data->setValue(entry.owner, entry.key, entry.value, entry.owned, 0);
  staged.entries.clear();
  for (const DOMElement* manager : managers)
    service->readConstraintManager(*manager, this);
  return 1;
}
