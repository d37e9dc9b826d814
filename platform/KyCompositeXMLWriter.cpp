#include <kyplatform/KyCompositeXMLWriter.h>

#include "KyXMLElement_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <xercesc/dom/DOMImplementation.hpp>
#include <xercesc/dom/DOMImplementationRegistry.hpp>

#include <memory>

using namespace xercesc;

namespace {
struct ReleaseDocument {
  void operator()(DOMDocument* document) const { document->release(); }
};
} // namespace

KyCompositeXMLWriter::KyCompositeXMLWriter(const wchar_t* fileName)
    : KyTopLevelXMLWriter(fileName, 1, 0) {}

KyCompositeXMLWriter::KyCompositeXMLWriter(const wchar_t* fileName, int indenting,
                                           int usingTemplates)
    : KyTopLevelXMLWriter(fileName, indenting, usingTemplates) {}

KyCompositeXMLWriter::KyCompositeXMLWriter(unsigned char** buffer, int indenting,
                                           int usingTemplates)
    : KyTopLevelXMLWriter(buffer, indenting, usingTemplates) {}

KyCompositeXMLWriter::~KyCompositeXMLWriter() = default;

KyXMLWriter* KyCompositeXMLWriter::setWriter(const wchar_t* name, KyXMLWriter* writer) {
  return parts_.setHandler(name, writer);
}

KyXMLWriter* KyCompositeXMLWriter::pWriter(const wchar_t* name) const {
  return parts_.pHandler(name);
}

KyObject* KyCompositeXMLWriter::setObjectToWrite(const wchar_t* name, KyObject* object) {
  return parts_.setObject(name, object);
}

KyObject* KyCompositeXMLWriter::pObjectToWrite(const wchar_t* name) const {
  return parts_.pObject(name);
}

int KyCompositeXMLWriter::populateDOMElement(DOMElement& element) {
  for (const auto& registered : parts_.parts()) {
    if (registered.handler == nullptr) {
      if (registered.object != nullptr)
        return fail(L"no writer for the part \"" + registered.name + L"\"");
      continue;
    }
    // While write() streams, each part is made in a document of its own,
    // freed once its text is taken; otherwise in `element`.
    std::unique_ptr<DOMDocument, ReleaseDocument> own;
    DOMElement* part;
    if (streaming()) {
      own.reset(DOMImplementationRegistry::getDOMImplementation(u"LS")->createDocument(
          nullptr, u"part", nullptr));
      part = own->getDocumentElement();
    } else {
      part = kyAppendElement(u"part", element);
    }
    part->setAttribute(u"name", KyXMLText::toXML(registered.name).c_str());
    int written;
    {
      KyHandlerScope<KyXMLWriter> scope(*registered.handler, this, registered.object);
      written = registered.handler->populateDOMElement(*part);
    }
    if (written == 0) {
      const std::wstring reason = failure();
      clearFailure();
      return fail(L"part \"" + registered.name + L"\"" +
                  (reason.empty() ? L" cannot be written" : L": " + reason));
    }
    if (own != nullptr && !takePart(*part))
      return 0; // write() writes the document again as one DOM
  }
  return 1;
}
