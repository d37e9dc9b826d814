#include <kyplatform/KyConstraintManager.h>
#include <kyplatform/KyConstraintManagerXMLReader.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyServiceInputDataXMLReader.h>
#include <kyplatform/KyServiceItemDescription.h>
#include <kyplatform/KyServiceName.h>

#include <kyplatform/KyXMLStartTag.h>

#include "KyServiceInputDataXML_p.h"
#include "KyServicePartReading_p.h"
#include "KyXMLElement_p.h"
#include "KyXMLFragment_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <xercesc/dom/DOMAttr.hpp>

#include <memory>
#include <vector>

using namespace xercesc;

// The read of the part, and what it holds beside values: the constraint
// manager elements, each proven readable, kept until the whole document
// was read.
struct KyServiceInputDataXMLReader::Staging : KyServicePartReading {
  explicit Staging(KyXMLReader& reader) : KyServicePartReading(Part::input, reader) {}

  KyXMLFragment fragments;
  std::vector<const DOMElement*> managers;
  // The option and entry being read.
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

int KyServiceInputDataXMLReader::startElement(const KyXMLStartTag& tag, int depth) {
  if (depth == 0) {
    staging_ = std::make_unique<Staging>(*this);
    return staging_->begin(pServiceInputData());
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
      return fail(L"the option " + KyXMLText::quote(staging.key()) + L" holds an element " +
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
    return fail(L"an entry of " + KyXMLText::quote(staging.key()) +
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
  trialReader.pConstraintReader(staging.service().pConstraintReader());
  KyHandlerScope<KyXMLReader> scope(trialReader, this, &trial);
  if (trialReader.processDOMElement(manager) == 0)
    return 0;
  staging.managers.push_back(&manager);
  return 1;
}

int KyServiceInputDataXMLReader::finishRead(int complete) {
  const std::unique_ptr<Staging> staging = std::move(staging_);
  if (staging == nullptr || staging->finish(complete) == 0)
    return complete;
  for (const DOMElement* manager : staging->managers)
    staging->service().readConstraintManager(*manager, this);
  return 1;
}

int KyServiceInputDataXMLReader::startOption(const KyXMLStartTag& tag) {
  Staging& staging = *staging_;
  if (staging.startItem(tag) == 0)
    return 0;
  staging.isManager =
      staging.description().pValueType() == KyServiceInputDataXML::kConstraintManagerType;
  return 1;
}

int KyServiceInputDataXMLReader::startEntry(const KyXMLStartTag& tag) {
  Staging& staging = *staging_;
  const KyServiceItemDescription& description = staging.description();
  KyObject* owner = nullptr;
  if (const XMLCh* id = tag.pAttribute(u"owner")) {
    const std::wstring& text = staging.wide(id);
    owner = pObject(text.c_str());
    if (owner == nullptr)
      return fail(L"the owner " + KyXMLText::quote(text) + L" of " +
                  KyXMLText::quote(staging.key()) + L" names nothing");
  }
  if (!KyServiceInputDataXML::ownerFits(owner, description.pOwnerType()))
    return fail(L"an owner of " + KyXMLText::quote(staging.key()) + L" is not of the type " +
                KyXMLText::quote(description.pOwnerType()));
  if (staging.isManager) {
    staging.managersInEntry = 0;
    return 1;
  }
  int owned = 0;
  KyObject* value = staging.pValue(tag.pAttribute(u"value"), owned);
  if (value == nullptr)
    return 0;
  staging.keep(owner, 0, value, owned);
  return 1;
}

int KyServiceInputDataXMLReader::startManager(const KyXMLStartTag& tag) {
  Staging& staging = *staging_;
  if (++staging.managersInEntry > 1 || std::u16string_view(tag.pName()) != u"constraintManager")
    return fail(L"an entry of " + KyXMLText::quote(staging.key()) +
                L" holds no single constraint manager");
  // A manager is kept for a graph; one of no graph would never be found
  // where the clustering request looks for it.
  if (tag.pAttribute(u"parent") == nullptr)
    return fail(L"a constraint manager of " + KyXMLText::quote(staging.key()) +
                L" names no parent graph");
  if (dynamic_cast<KyGraph*>(pElementObject(L"parent", tag)) == nullptr)
    return fail(L"the parent of a constraint manager of " + KyXMLText::quote(staging.key()) +
                L" is not a graph of the document");
  return staging.fragments.start(tag) ? 1 : fail(staging.fragments.refusal());
}
