#include <kyanalysis/KyEdge.h>
#include <kyanalysis/KyGraph.h>
#include <kyanalysis/KyNode.h>
#include <kyanalysis/KyObjectTable.h>
#include <kyanalysis/KyTopLevelXMLWriter.h>

#include "KyXMLPlatform_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/MemBufFormatTarget.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <cstring>
#include <fstream>
#include <memory>

using namespace xercesc;

struct KyTopLevelXMLWriter::Made {
  KyObjectTable ids;
  unsigned long next[4] = {0, 0, 0, 0};
};

namespace {
class FirstError : public DOMErrorHandler {
public:
  bool handleError(const DOMError& error) override {
    if (error.getSeverity() == DOMError::DOM_SEVERITY_WARNING)
      return true;
    if (message_.empty())
      message_ = KyXMLText::toWide(error.getMessage());
    return false;
  }
  const std::wstring& message() const { return message_; }

private:
  std::wstring message_;
};

template <typename Part> struct Release {
  void operator()(Part* part) const { part->release(); }
};
template <typename Part> using Owned = std::unique_ptr<Part, Release<Part>>;

int kindOf(const KyObject* object) {
  if (dynamic_cast<const KyNode*>(object) != nullptr)
    return 1;
  if (dynamic_cast<const KyEdge*>(object) != nullptr)
    return 2;
  if (dynamic_cast<const KyGraph*>(object) != nullptr)
    return 0;
  return 3;
}
} // namespace

KyTopLevelXMLWriter::KyTopLevelXMLWriter(const wchar_t* fileName, int indenting, int usingTemplates)
    : fileName_(fileName != nullptr ? fileName : L""), toFile_(true), indenting_(indenting),
      usingTemplates_(usingTemplates) {}

KyTopLevelXMLWriter::KyTopLevelXMLWriter(unsigned char** buffer, int indenting, int usingTemplates)
    : buffer_(buffer), toFile_(false), indenting_(indenting), usingTemplates_(usingTemplates) {}

KyTopLevelXMLWriter::~KyTopLevelXMLWriter() = default;

const wchar_t* KyTopLevelXMLWriter::pID(const KyObject* object) {
  if (object == nullptr || made_ == nullptr)
    return nullptr;
  if (table_ != nullptr)
    if (const wchar_t* id = table_->pID(object))
      return id;
  if (const wchar_t* id = made_->ids.pID(object))
    return id;
  static constexpr wchar_t kLetters[] = L"gneo";
  const int kind = kindOf(object);
  std::wstring id;
  // Made identifiers never repeat; only the caller's may be in the way.
  do
    id = kLetters[kind] + std::to_wstring(made_->next[kind]++);
  while (table_ != nullptr && table_->pObject(id.c_str()) != nullptr);
  made_->ids.setID(id.c_str(), const_cast<KyObject*>(object));
  return made_->ids.pID(object);
}

int KyTopLevelXMLWriter::write() {
  clearFailure();
  outputSize_ = 0;
  if (!toFile_ && buffer_ == nullptr)
    return fail(L"no buffer to write to");
  KyXMLPlatform platform;
  if (!platform.ready())
    return fail(L"the XML platform cannot be initialised");

  Made made;
  MemBufFormatTarget text;
  try {
    DOMImplementation* implementation = DOMImplementationRegistry::getDOMImplementation(u"LS");
    Owned<DOMDocument> document(implementation->createDocument(nullptr, u"document", nullptr));
    int populated;
    {
      KyPointerScope<Made> scope(made_, &made);
      populated = populateDOMElement(*document->getDocumentElement());
    }
    if (populated == 0)
      return failure().empty() ? fail(L"the document cannot be written") : 0;

    auto* ls = static_cast<DOMImplementationLS*>(implementation);
    Owned<DOMLSSerializer> serializer(ls->createLSSerializer());
    FirstError errors;
    DOMConfiguration* settings = serializer->getDomConfig();
    settings->setParameter(XMLUni::fgDOMErrorHandler, &errors);
    settings->setParameter(XMLUni::fgDOMWRTFormatPrettyPrint, indenting_ != 0);
    settings->setParameter(XMLUni::fgDOMWRTXercesPrettyPrint, false);
    Owned<DOMLSOutput> output(ls->createLSOutput());
    output->setByteStream(&text);
    output->setEncoding(u"UTF-8");
    if (!serializer->write(document.get(), output.get()) || !errors.message().empty())
      return fail(errors.message().empty() ? L"the document cannot be serialized"
                                           : errors.message());
  } catch (const DOMException& error) {
    return fail(L"the document cannot be written: " + KyXMLText::toWide(error.getMessage()));
  } catch (const XMLException& error) {
    return fail(L"the document cannot be written: " + KyXMLText::toWide(error.getMessage()));
  } catch (const OutOfMemoryException&) {
    return fail(L"the document is too large to write");
  }

  const std::size_t size = text.getLen();
  if (toFile_) {
    std::ofstream file(KyXMLText::toUtf8(fileName_), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(text.getRawBuffer()),
               static_cast<std::streamsize>(size));
    file.close();
    if (!file)
      return fail(L"cannot write the file \"" + fileName_ + L"\"");
  } else {
    auto* bytes = new unsigned char[size + 1];
    std::memcpy(bytes, text.getRawBuffer(), size);
    bytes[size] = 0;
    *buffer_ = bytes;
  }
  if (table_ != nullptr)
    table_->merge(made.ids);
  outputSize_ = static_cast<unsigned long>(size);
  return 1;
}
