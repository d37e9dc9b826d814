#include <kyanalysis/KyCompositeXMLReader.h>

#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <algorithm>

using namespace xercesc;

KyCompositeXMLReader::~KyCompositeXMLReader() = default;

KyCompositeXMLReader::Part* KyCompositeXMLReader::part(const wchar_t* name) {
  if (name == nullptr)
    return nullptr;
  for (Part& part : parts_)
    if (part.name == name)
      return &part;
  parts_.push_back(Part{name, nullptr, nullptr});
  return &parts_.back();
}

const KyCompositeXMLReader::Part* KyCompositeXMLReader::findPart(const wchar_t* name) const {
  if (name == nullptr)
    return nullptr;
  const auto found = std::find_if(parts_.begin(), parts_.end(),
                                  [name](const Part& part) { return part.name == name; });
  return found != parts_.end() ? &*found : nullptr;
}

KyXMLReader* KyCompositeXMLReader::setReader(const wchar_t* name, KyXMLReader* reader) {
  Part* registered = part(name);
  return registered != nullptr ? registered->reader = reader : nullptr;
}

KyXMLReader* KyCompositeXMLReader::pReader(const wchar_t* name) const {
  const Part* registered = findPart(name);
  return registered != nullptr ? registered->reader : nullptr;
}

KyObject* KyCompositeXMLReader::setObjectToRead(const wchar_t* name, KyObject* object) {
  Part* registered = part(name);
  return registered != nullptr ? registered->object = object : nullptr;
}

KyObject* KyCompositeXMLReader::setFirstObjectToRead(const wchar_t* name, KyObject* object) {
  Part* registered = part(name);
  if (registered == nullptr)
    return nullptr;
  registered->object = object;
  std::rotate(parts_.begin(), parts_.begin() + (registered - parts_.data()),
              parts_.begin() + (registered - parts_.data()) + 1);
  return object;
}

KyObject* KyCompositeXMLReader::pObjectToRead(const wchar_t* name) const {
  const Part* registered = findPart(name);
  return registered != nullptr ? registered->object : nullptr;
}

int KyCompositeXMLReader::processDOMElement(const DOMElement& element) {
  for (const DOMElement* child = element.getFirstElementChild(); child != nullptr;
       child = child->getNextElementSibling())
    if (KyXMLText::toWide(child->getTagName()) != L"part")
      return fail(L"the document holds an element " +
                  KyXMLText::quote(KyXMLText::toWide(child->getTagName())) +
                  L" that is not a part");

  for (const Part& registered : parts_) {
    if (registered.reader == nullptr) {
      if (registered.object != nullptr)
        return fail(L"no reader for the part " + KyXMLText::quote(registered.name));
      continue;
    }
    const KyXMLString name = KyXMLText::toXML(registered.name);
    const DOMElement* found = nullptr;
    for (const DOMElement* child = element.getFirstElementChild(); child != nullptr;
         child = child->getNextElementSibling()) {
      if (name != child->getAttribute(u"name"))
        continue;
      if (found != nullptr)
        return fail(L"the document holds the part " + KyXMLText::quote(registered.name) +
                    L" twice");
      found = child;
    }
    if (found == nullptr)
      return fail(L"the document has no part " + KyXMLText::quote(registered.name));

    int read;
    {
      KyHandlerScope<KyXMLReader> scope(*registered.reader, this, registered.object);
      read = registered.reader->processDOMElement(*found);
    }
    if (read == 0) {
      const std::wstring reason = failure();
      clearFailure();
      return fail(L"part " + KyXMLText::quote(registered.name) +
                  (reason.empty() ? L" cannot be read" : L": " + reason));
    }
  }
  return 1;
}
