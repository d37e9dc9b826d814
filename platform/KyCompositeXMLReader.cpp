#include <kyplatform/KyCompositeXMLReader.h>

#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

using namespace xercesc;

KyCompositeXMLReader::~KyCompositeXMLReader() = default;

KyXMLReader* KyCompositeXMLReader::setReader(const wchar_t* name, KyXMLReader* reader) {
  return parts_.setHandler(name, reader);
}

KyXMLReader* KyCompositeXMLReader::pReader(const wchar_t* name) const {
  return parts_.pHandler(name);
}

KyObject* KyCompositeXMLReader::setObjectToRead(const wchar_t* name, KyObject* object) {
  return parts_.setObject(name, object);
}

KyObject* KyCompositeXMLReader::setFirstObjectToRead(const wchar_t* name, KyObject* object) {
  return parts_.setFirstObject(name, object);
}

KyObject* KyCompositeXMLReader::pObjectToRead(const wchar_t* name) const {
  return parts_.pObject(name);
}

int KyCompositeXMLReader::processDOMElement(const DOMElement& element) {
  for (const DOMElement* child = element.getFirstElementChild(); child != nullptr;
       child = child->getNextElementSibling())
    if (KyXMLText::toWide(child->getTagName()) != L"part")
      return fail(L"the document holds an element " +
                  KyXMLText::quote(KyXMLText::toWide(child->getTagName())) +
                  L" that is not a part");

  for (const auto& registered : parts_.parts()) {
    if (registered.handler == nullptr) {
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
      KyHandlerScope<KyXMLReader> scope(*registered.handler, this, registered.object);
      read = registered.handler->processDOMElement(*found);
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
