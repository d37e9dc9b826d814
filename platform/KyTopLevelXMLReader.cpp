#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyTopLevelXMLReader.h>

#include "KyXMLPlatform_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/framework/Wrapper4InputSource.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

using namespace xercesc;

namespace {
// Keeps the first error the parser reports, with its place.
class FirstError : public DOMErrorHandler {
public:
  bool handleError(const DOMError& error) override {
    if (error.getSeverity() == DOMError::DOM_SEVERITY_WARNING)
      return true;
    if (message_.empty()) {
      const DOMLocator* where = error.getLocation();
      if (where != nullptr && where->getLineNumber() > 0)
        message_ = L"line " + std::to_wstring(where->getLineNumber()) + L", column " +
                   std::to_wstring(where->getColumnNumber()) + L": ";
      message_ += KyXMLText::toWide(error.getMessage());
    }
    return false;
  }
  const std::wstring& message() const { return message_; }

private:
  std::wstring message_;
};

struct ParserRelease {
  void operator()(DOMLSParser* parser) const { parser->release(); }
};

bool readFile(const std::wstring& name, std::vector<unsigned char>& bytes) {
  std::ifstream file(KyXMLText::toUtf8(name), std::ios::binary);
  if (!file)
    return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}
} // namespace

KyTopLevelXMLReader::KyTopLevelXMLReader(const wchar_t* fileName)
    : fileName_(fileName != nullptr ? fileName : L""), fromFile_(true) {}

KyTopLevelXMLReader::KyTopLevelXMLReader(const unsigned char* bytes, unsigned int length)
    : bytes_(bytes), length_(length), fromFile_(false) {}

KyTopLevelXMLReader::~KyTopLevelXMLReader() = default;

int KyTopLevelXMLReader::read() {
  clearFailure();
  std::vector<unsigned char> file;
  const unsigned char* bytes = bytes_;
  std::size_t length = length_;
  if (fromFile_) {
    if (!readFile(fileName_, file))
      return fail(L"cannot read the file \"" + fileName_ + L"\"");
    bytes = file.data();
    length = file.size();
  } else if (bytes == nullptr) {
    return fail(L"no document to read");
  }
  if (length == 0)
    return fail(L"the document is empty");

  KyXMLPlatform platform;
  if (!platform.ready())
    return fail(L"the XML platform cannot be initialised");
  FirstError errors;
  // Refusing document types is what keeps DTDs, external entities and entity
  // expansion out; the other settings hold even if that ever changed.
  SecurityManager limits;
  limits.setEntityExpansionLimit(64);
  DOMImplementationLS* implementation =
      static_cast<DOMImplementationLS*>(DOMImplementationRegistry::getDOMImplementation(u"LS"));
  std::unique_ptr<DOMLSParser, ParserRelease> parser(
      implementation->createLSParser(DOMImplementationLS::MODE_SYNCHRONOUS, nullptr));
  DOMConfiguration* settings = parser->getDomConfig();
  settings->setParameter(XMLUni::fgDOMDisallowDoctype, true);
  settings->setParameter(XMLUni::fgXercesLoadExternalDTD, false);
  settings->setParameter(XMLUni::fgXercesDisableDefaultEntityResolution, true);
  settings->setParameter(XMLUni::fgXercesSecurityManager, &limits);
  settings->setParameter(XMLUni::fgXercesLoadSchema, false);
  settings->setParameter(XMLUni::fgDOMValidate, false);
  settings->setParameter(XMLUni::fgDOMNamespaces, false);
  settings->setParameter(XMLUni::fgDOMComments, false);
  settings->setParameter(XMLUni::fgDOMErrorHandler, &errors);

  Wrapper4InputSource input(new MemBufInputSource(bytes, length, "document", false));
  const DOMDocument* document = nullptr;
  bool parsed = true;
  try {
    document = parser->parse(&input);
  } catch (const DOMException&) {
    parsed = false;
  } catch (const XMLException&) {
    parsed = false;
  } catch (const OutOfMemoryException&) {
    parsed = false;
  }
  if (!errors.message().empty())
    return fail(errors.message());
  if (!parsed)
    return fail(L"the document cannot be parsed");
  const DOMElement* root = document != nullptr ? document->getDocumentElement() : nullptr;
  if (root == nullptr)
    return fail(L"the text is not an XML document");
  if (KyXMLText::toWide(root->getTagName()) != L"document")
    return fail(L"the document element is \"" + KyXMLText::toWide(root->getTagName()) +
                L"\", not \"document\"");

  KyObjectTable defined;
  int result;
  {
    KyPointerScope<KyObjectTable> scope(defined_, &defined);
    result = processDOMElement(*root);
  }
  if (result == 0)
    return failure().empty() ? fail(L"the document cannot be read") : 0;
  if (table_ != nullptr)
    table_->merge(defined);
  return 1;
}

int KyTopLevelXMLReader::setID(const wchar_t* id, KyObject* object) {
  return defined_ != nullptr ? defined_->setID(id, object) : 0;
}

KyObject* KyTopLevelXMLReader::pObject(const wchar_t* id) const {
  if (defined_ != nullptr)
    if (KyObject* object = defined_->pObject(id))
      return object;
  return table_ != nullptr ? table_->pObject(id) : nullptr;
}
