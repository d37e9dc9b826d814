#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyConstraintManagerXMLReader.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceInputDataXMLReader.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>
#include <kyplatform/KyServiceName.h>

#include <kyplatform/KyXMLStartTag.h>

#include "KyServiceInputDataXML_p.h"
#include "KyXMLElement_p.h"
#include "KyXMLFragment_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <xercesc/dom/DOMAttr.hpp>

#include <memory>
#include <vector>

using namespace xercesc;

// What the part holds, kept until the whole document was read: the values
// to store (those made for the read are released unless they are stored)
// and the constraint manager elements, each proven readable.
struct KyServiceInputDataXMLReader::Staging {
  struct Entry {
    KyObject* owner;
    const wchar_t* key;
    KyObject* value;
    int owned;
  };
  ~Staging() {
    for (const Entry& entry : entries)
      if (entry.owned != 0)
        entry.value->vRelease();
  }

  std::vector<Entry> entries;
  KyXMLFragment fragments;
  std::vector<const DOMElement*> managers;
  // The option and entry being read.
  const KyServiceItemDescription* description = nullptr;
  std::wstring key;
  bool isManager = false;
  int managersInEntry = 0;
};

KyServiceInputDataXMLReader::KyServiceInputDataXMLReader(const wchar_t* name)
    : name_(name != nullptr ? name : L"") {}

KyServiceInputDataXMLReader::~KyServiceInputDataXMLReader() = default;

KyServiceInputData* KyServiceInputDataXMLReader::pServiceInputData() const {
  return dynamic_cast<KyServiceInputData*>(pTarget());
}

int KyServiceInputDataXMLReader::processDOMElement(const DOMElement& element) {
  return readAsStream(element);
}

int KyServiceInputDataXMLReader::readsStream() const { return 1; }

KyServiceName* KyServiceInputDataXMLReader::pService() const {
  const KyServiceInputData* data = pServiceInputData();
  return data != nullptr ? data->pServiceName() : nullptr;
}

int KyServiceInputDataXMLReader::startElement(const KyXMLStartTag& tag, int depth) {
  if (depth == 0) {
    if (pServiceInputData() == nullptr)
      return fail(L"no input data to read into");
    if (pService() == nullptr || pService()->pInputDescription() == nullptr)
      return fail(L"the input data has no service name with option descriptions");
    staging_ = std::make_unique<Staging>();
    return 1;
  }
  Staging& staging = *staging_;
  const std::u16string_view name = tag.pName();
  if (depth == 1) {
    if (name != u"option")
      return fail(L"the part holds an element " + KyXMLText::quote(KyXMLText::toWide(tag.pName())) +
                  L" that is not an option");
    return startOption(tag);
  }
  if (depth == 2) {
    if (name != u"entry")
      return fail(L"the option " + KyXMLText::quote(staging.key) + L" holds an element " +
                  KyXMLText::quote(KyXMLText::toWide(tag.pName())) + L" that is not an entry");
    return startEntry(tag);
  }
  if (!staging.isManager)
    return 1;
  if (depth == 3)
    return startManager(tag);
  return staging.fragments.start(tag) ? 1 : fail(staging.fragments.refusal());
}

int KyServiceInputDataXMLReader::characters(const XMLCh* text, std::size_t length, int depth) {
  if (depth >= 3 && staging_->isManager && staging_->fragments.gathering())
    staging_->fragments.characters(text, length);
  return 1;
}

int KyServiceInputDataXMLReader::endElement(int depth) {
  Staging& staging = *staging_;
  if (depth == 2 && staging.isManager && staging.managersInEntry == 0)
    return fail(L"an entry of " + KyXMLText::quote(staging.key) +
                L" holds no single constraint manager");
  if (depth < 3 || !staging.isManager)
    return 1;
  staging.fragments.end();
  if (depth > 3)
    return 1;
  // A trial read into a manager of its own proves the constraints readable
  // before anything changes.
  const DOMElement& manager = *staging.fragments.pLast();
  KyConstraintManager trial;
  KyConstraintManagerXMLReader trialReader;
  trialReader.pConstraintReader(pService()->pConstraintReader());
  KyHandlerScope<KyXMLReader> scope(trialReader, this, &trial);
  if (trialReader.processDOMElement(manager) == 0)
    return 0;
  staging.managers.push_back(&manager);
  return 1;
}

int KyServiceInputDataXMLReader::finishRead(int complete) {
  const std::unique_ptr<Staging> staging = std::move(staging_);
  if (complete == 0 || staging == nullptr)
    return complete;
  KyServiceInputData* data = pServiceInputData();
  for (const Staging::Entry& entry : staging->entries)
    data->setValue(entry.owner, entry.key, entry.value, entry.owned, 0);
  staging->entries.clear();
  for (const DOMElement* manager : staging->managers)
    pService()->readConstraintManager(*manager, this);
  return 1;
}

int KyServiceInputDataXMLReader::startOption(const KyXMLStartTag& tag) {
  Staging& staging = *staging_;
  const XMLCh* key = tag.pAttribute(u"key");
  staging.key = KyXMLText::toWide(key);
  staging.description = pService()->pInputDescription()->pOption(staging.key.c_str());
  if (staging.description == nullptr)
    return fail(L"the option " + KyXMLText::quote(staging.key) + L" is unknown");
  const XMLCh* type = tag.pAttribute(u"type");
  if (KyXMLText::compare(type, staging.description->pValueType()) != 0)
    return fail(L"the option " + KyXMLText::quote(staging.key) + L" has the type " +
                KyXMLText::quote(KyXMLText::toWide(type)) + L" instead of " +
                KyXMLText::quote(staging.description->pValueType()));
  staging.isManager = KyXMLText::compare(type, KyServiceInputDataXML::kConstraintManagerType) == 0;
  return 1;
}

int KyServiceInputDataXMLReader::startEntry(const KyXMLStartTag& tag) {
  Staging& staging = *staging_;
  const KyServiceItemDescription& description = *staging.description;
  KyObject* owner = nullptr;
  if (const XMLCh* id = tag.pAttribute(u"owner")) {
    KyXMLText::toWide(id, text_);
    owner = pObject(text_.c_str());
    if (owner == nullptr)
      return fail(L"the owner " + KyXMLText::quote(text_) + L" of " +
                  KyXMLText::quote(staging.key) + L" names nothing");
  }
  if (!KyServiceInputDataXML::ownerFits(owner, description.pOwnerType()))
    return fail(L"an owner of " + KyXMLText::quote(staging.key) + L" is not of the type " +
                KyXMLText::quote(description.pOwnerType()));
  if (staging.isManager) {
    staging.managersInEntry = 0;
    return 1;
  }
  const XMLCh* value = tag.pAttribute(u"value");
  if (value == nullptr)
    return fail(L"an entry of " + KyXMLText::quote(staging.key) + L" has no value");
  KyXMLText::toWide(value, text_);
  int owned = 0;
  KyObject* read =
      pService()->pConvertStringToValue(text_.c_str(), description.pValueType(), this, owned);
  if (read == nullptr)
    return fail(L"the value " + KyXMLText::quote(text_) + L" of " + KyXMLText::quote(staging.key) +
                L" is not of the type " + KyXMLText::quote(description.pValueType()));
  staging.entries.push_back(Staging::Entry{owner, description.pKey(), read, owned});
  return 1;
}

int KyServiceInputDataXMLReader::startManager(const KyXMLStartTag& tag) {
  Staging& staging = *staging_;
  if (++staging.managersInEntry > 1 || std::u16string_view(tag.pName()) != u"constraintManager")
    return fail(L"an entry of " + KyXMLText::quote(staging.key) +
                L" holds no single constraint manager");
  // A manager is kept for a graph; one of no graph would never be found
  // where the clustering request looks for it.
  if (tag.pAttribute(u"parent") == nullptr)
    return fail(L"a constraint manager of " + KyXMLText::quote(staging.key) +
                L" names no parent graph");
  if (dynamic_cast<KyGraph*>(pElementObject(L"parent", tag)) == nullptr)
    return fail(L"the parent of a constraint manager of " + KyXMLText::quote(staging.key) +
                L" is not a graph of the document");
  return staging.fragments.start(tag) ? 1 : fail(staging.fragments.refusal());
}
