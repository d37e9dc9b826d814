#include <kyplatform/KyCompositeXMLWriter.h>

#include <kyplatform/KyXMLStream.h>

#include "KyXMLScope_p.h"

#include <memory>
#include <utility>

using namespace xercesc;

KyCompositeXMLWriter::KyCompositeXMLWriter(const wchar_t* fileName)
    : KyTopLevelXMLWriter(fileName, 1, 0) {}

KyCompositeXMLWriter::KyCompositeXMLWriter(const wchar_t* fileName, int indenting,
                                           int usingTemplates)
    : KyTopLevelXMLWriter(fileName, indenting, usingTemplates) {}

KyCompositeXMLWriter::KyCompositeXMLWriter(unsigned char** buffer, int indenting,
                                           int usingTemplates)
    : KyTopLevelXMLWriter(buffer, indenting, usingTemplates) {}

KyCompositeXMLWriter::KyCompositeXMLWriter(Pieces pieces, int indenting, int usingTemplates)
    : KyTopLevelXMLWriter(std::move(pieces), indenting, usingTemplates) {}

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
  // Parts go into the stream of the write; when the document is made as
  // one DOM, into `element`.
  KyXMLStream* stream = pStream();
  std::unique_ptr<KyXMLStream> onElement;
  if (stream == nullptr) {
    onElement = std::make_unique<KyXMLStream>(element);
    stream = onElement.get();
  }
  for (const auto& registered : parts_.parts()) {
    if (registered.handler == nullptr) {
      if (registered.object != nullptr)
        return fail(L"no writer for the part \"" + registered.name + L"\"");
      continue;
    }
    stream->start(u"part");
    stream->attribute(u"name", registered.name);
    int written;
    {
      KyHandlerScope<KyXMLWriter> scope(*registered.handler, this, registered.object);
      written = registered.handler->writeElement(*stream);
    }
    if (written == 0) {
      const std::wstring reason = failure();
      clearFailure();
      return fail(L"part \"" + registered.name + L"\"" +
                  (reason.empty() ? L" cannot be written" : L": " + reason));
    }
    stream->end();
  }
  return 1;
}
