#include <kyanalysis/KyEdge.h>
#include <kyanalysis/KyGraph.h>
#include <kyanalysis/KyNode.h>
#include <kyanalysis/KyObjectTable.h>
#include <kyanalysis/KyTopLevelXMLWriter.h>

#include "KyXMLObjectKind_p.h"
#include "KyXMLPlatform_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/MemBufFormatTarget.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <unordered_map>
#include <vector>

using namespace xercesc;

// The identifiers made in one write. Their texts are packed into large
// blocks, so that making one costs no allocation of its own.
struct KyTopLevelXMLWriter::Made {
  static constexpr std::size_t kBlock = 1 << 14;

  std::unordered_map<const KyObject*, const wchar_t*> ids;
  std::vector<std::unique_ptr<wchar_t[]>> blocks;
  std::size_t used = kBlock;
  unsigned long next[4] = {0, 0, 0, 0};

  /// Keeps a copy of `id` for `object` and returns it.
  const wchar_t* keep(const KyObject* object, const std::wstring& id) {
    const std::size_t size = id.size() + 1;
    if (used + size > kBlock) {
      blocks.push_back(std::make_unique<wchar_t[]>(std::max(kBlock, size)));
      used = 0;
    }
    wchar_t* text = blocks.back().get() + used;
    std::copy(id.c_str(), id.c_str() + size, text);
    used += size;
    ids.emplace(object, text);
    return text;
  }
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
  // The table does not change during a write, so an object named here was
  // not named by the table.
  if (const auto made = made_->ids.find(object); made != made_->ids.end())
    return made->second;
  if (table_ != nullptr)
    if (const wchar_t* id = table_->pID(object))
      return id;
  static constexpr wchar_t kLetters[] = L"gneo";
  const auto kind = static_cast<int>(kyXMLKindOf(object));
  std::wstring id;
  // Made identifiers never repeat; only the caller's may be in the way.
  do
    id = kLetters[kind] + std::to_wstring(made_->next[kind]++);
  while (table_ != nullptr && table_->pObject(id.c_str()) != nullptr);
  return made_->keep(object, id);
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
    for (const auto& [object, id] : made.ids)
      table_->setID(id, const_cast<KyObject*>(object));
  outputSize_ = static_cast<unsigned long>(size);
  return 1;
}
