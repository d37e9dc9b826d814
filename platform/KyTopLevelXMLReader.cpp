#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyTopLevelXMLReader.h>
#include <kyplatform/KyUtf8.h>

#include "KyXMLParserMemory_p.h"
#include "KyXMLPlatform_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include "KyXMLFragment_p.h"
#include "KyXMLIdentifiers_p.h"

#include <xercesc/sax/InputSource.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/BinInputStream.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLString.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

using namespace xercesc;

namespace {
// Thrown from the parser's callbacks to end a read; the reason is recorded.
struct Stop {};

std::wstring place(XMLFileLoc line, XMLFileLoc column) {
  return L"line " + std::to_wstring(line) + L", column " + std::to_wstring(column);
}

// Where a zero byte was met; in an encoding of single bytes it is a
// character XML never holds, and the parser would take it for the end of
// the text, silently ignoring whatever follows.
struct ZeroByte {
  bool found = false;
  std::size_t line = 1;
  std::size_t column = 1;
};

// Whether a document whose first bytes are `first` (`got` of them) is in
// an encoding of single bytes: encodings of two or four bytes a character
// hold zero bytes among the first four; the others never do.
bool singleBytes(const XMLByte* first, std::size_t got) {
  return std::memchr(first, 0, std::min<std::size_t>(got, 4)) == nullptr;
}

// Looks for a zero byte in `got` bytes that follow those `zero` has counted:
// returns how many come before it (all of them when there is none) and
// counts those, so that `zero` holds the line and column of the byte after.
std::size_t untilZero(const XMLByte* bytes, std::size_t got, ZeroByte& zero) {
  if (const void* at = std::memchr(bytes, 0, got)) {
    got = static_cast<std::size_t>(static_cast<const XMLByte*>(at) - bytes);
    zero.found = true;
  }
  const XMLByte* lineStart = nullptr;
  for (const XMLByte* at = bytes;
       (at = static_cast<const XMLByte*>(std::memchr(at, '\n', got - (at - bytes)))) != nullptr;
       ++at) {
    ++zero.line;
    lineStart = at + 1;
  }
  zero.column = lineStart != nullptr ? 1 + (bytes + got - lineStart) : zero.column + got;
  return got;
}

// The document's bytes, from memory or from a file read piece by piece,
// with the zero-byte check on the way.
class Bytes : public BinInputStream {
public:
  Bytes(const unsigned char* bytes, std::size_t length, std::FILE* file, ZeroByte& zero)
      : bytes_(bytes), length_(length), file_(file), zero_(zero) {}
  ~Bytes() override {
    if (file_ != nullptr)
      std::fclose(file_);
  }
  XMLFilePos curPos() const override { return position_; }
  XMLSize_t readBytes(XMLByte* const fill, const XMLSize_t most) override {
    if (zero_.found)
      return 0;
    std::size_t got;
    if (file_ != nullptr) {
      got = std::fread(fill, 1, most, file_);
    } else {
      got = std::min<std::size_t>(most, length_ - position_);
      std::memcpy(fill, bytes_ + position_, got);
    }
    if (position_ == 0)
      singleBytes_ = singleBytes(fill, got);
    if (singleBytes_)
      got = untilZero(fill, got, zero_);
    position_ += got;
    return got;
  }
  const XMLCh* getContentType() const override { return nullptr; }

private:
  const unsigned char* bytes_;
  std::size_t length_;
  std::FILE* file_;
  ZeroByte& zero_;
  XMLFilePos position_ = 0;
  bool singleBytes_ = true;
};

// Holds the stream until the parser asks for it (once), which then frees
// it; a stream never asked for goes with the source.
class Source : public InputSource {
public:
  explicit Source(std::unique_ptr<BinInputStream> stream) : stream_(std::move(stream)) {}
  BinInputStream* makeStream() const override { return stream_.release(); }

private:
  mutable std::unique_ptr<BinInputStream> stream_;
};

/// The deepest elements may nest in a document.
constexpr int kDeepest = 256;

// Hands the parser's events to the reader (or to a DOM of the whole
// document for a reader that must be handed one), and records the reason
// and place of the first fault.
class Events : public DefaultHandler {
public:
  Events(KyXMLReader& reader, KyXMLFragment* whole) : reader_(reader), whole_(whole) {}

  void setDocumentLocator(const Locator* const locator) override { locator_ = locator; }
  void startElement(const XMLCh* const, const XMLCh* const, const XMLCh* const name,
                    const Attributes& attributes) override {
    if (depth_ == 0 && !XMLString::equals(name, u"document"))
      stop(L"the document element is \"" + KyXMLText::toWide(name) + L"\", not \"document\"");
    // No document of the libraries nests more than a few levels; a deep
    // one would cost the parser memory for every level before any fault.
    if (depth_ >= kDeepest)
      stop(where() + L": the elements nest deeper than " + std::to_wstring(kDeepest) + L" levels");
    const KyXMLStartTag tag(name, attributes);
    if (whole_ != nullptr) {
      if (!whole_->start(tag))
        stop(where() + L": " + whole_->refusal());
    } else if (reader_.startElement(tag, depth_) == 0)
      stopHere();
    ++depth_;
  }
  void characters(const XMLCh* const text, const XMLSize_t length) override {
    if (whole_ != nullptr)
      whole_->characters(text, length);
    else if (reader_.characters(text, length, depth_ - 1) == 0)
      stopHere();
  }
  void endElement(const XMLCh* const, const XMLCh* const, const XMLCh* const) override {
    --depth_;
    if (whole_ != nullptr)
      whole_->end();
    else if (reader_.endElement(depth_) == 0)
      stopHere();
  }
  void startDTD(const XMLCh* const, const XMLCh* const, const XMLCh* const) override {
    stop(where() + L": the document has a DOCTYPE; documents with a DOCTYPE are refused");
  }
  void error(const SAXParseException& error) override { fatalError(error); }
  void fatalError(const SAXParseException& error) override {
    std::wstring message = KyXMLText::toWide(error.getMessage());
    if (error.getLineNumber() > 0)
      message = place(error.getLineNumber(), error.getColumnNumber()) + L": " + message;
    stop(message);
  }

  /// The reason of the first fault: the parser's, or one of this class.
  const std::wstring& message() const { return message_; }
  /// Where the reader failed, when it did.
  const std::wstring& readerPlace() const { return readerPlace_; }

private:
  std::wstring where() const {
    return locator_ != nullptr ? place(locator_->getLineNumber(), locator_->getColumnNumber())
                               : std::wstring(L"at the start");
  }
  [[noreturn]] void stop(const std::wstring& message) {
    if (message_.empty())
      message_ = message;
    throw Stop{};
  }
  [[noreturn]] void stopHere() {
    readerPlace_ = where();
    throw Stop{};
  }

  KyXMLReader& reader_;
  KyXMLFragment* whole_;
  const Locator* locator_ = nullptr;
  int depth_ = 0;
  std::wstring message_;
  std::wstring readerPlace_;
};

struct ReaderRelease {
  void operator()(SAX2XMLReader* parser) const { delete parser; }
};

// A new parser with the settings of every read, bounded by `limits`, that
// works in `memory`. Refusing document types is what keeps DTDs, external
// entities and entity expansion out; the other settings hold even if that
// ever changed.
SAX2XMLReader* newParser(SecurityManager& limits, KyXMLParserMemory& memory) {
  limits.setEntityExpansionLimit(64);
  std::unique_ptr<SAX2XMLReader, ReaderRelease> parser(XMLReaderFactory::createXMLReader(&memory));
  parser->setFeature(XMLUni::fgSAX2CoreNameSpaces, false);
  parser->setFeature(XMLUni::fgSAX2CoreValidation, false);
  parser->setFeature(XMLUni::fgXercesSchema, false);
  parser->setFeature(XMLUni::fgXercesLoadExternalDTD, false);
  parser->setFeature(XMLUni::fgXercesDisableDefaultEntityResolution, true);
  parser->setProperty(XMLUni::fgXercesSecurityManager, &limits);
  return parser.release();
}

// A parser and what it works in. A thread keeps one for its next read, as
// making one costs more than reading a small document; it holds the Xerces
// platform up while it lives, until its thread ends.
struct KeptParser {
  KyXMLPlatform platform;
  SecurityManager limits;
  KyXMLParserMemory memory;
  std::unique_ptr<SAX2XMLReader, ReaderRelease> parser;
  bool busy = false;
};

// The parser of one read: the thread's kept parser, or one of its own for
// a read that starts while the kept one is busy (a read within a read).
// Handlers are taken off again when the read ends.
class ParserLease {
public:
  ParserLease() {
    thread_local KeptParser kept;
    if (!kept.busy && kept.platform.ready()) {
      if (kept.parser == nullptr)
        kept.parser.reset(newParser(kept.limits, kept.memory));
      kept.busy = true;
      kept_ = &kept;
      parser_ = kept.parser.get();
    } else {
      own_ = std::make_unique<KeptParser>();
      own_->parser.reset(newParser(own_->limits, own_->memory));
      parser_ = own_->parser.get();
    }
  }
  ~ParserLease() {
    parser_->setContentHandler(nullptr);
    parser_->setErrorHandler(nullptr);
    parser_->setLexicalHandler(nullptr);
    if (kept_ != nullptr) {
      if (unfit_)
        kept_->parser.reset();
      kept_->busy = false;
    }
  }
  ParserLease(const ParserLease&) = delete;
  ParserLease& operator=(const ParserLease&) = delete;

  SAX2XMLReader* operator->() const { return parser_; }
  /// The parser ran out of memory, after which Xerces gives no guarantee
  /// of its state: a kept one is not kept further.
  void unfit() { unfit_ = true; }

private:
  KeptParser* kept_ = nullptr;
  std::unique_ptr<KeptParser> own_; // only for a read within a read
  SAX2XMLReader* parser_;
  bool unfit_ = false;
};
} // namespace

KyTopLevelXMLReader::KyTopLevelXMLReader(const wchar_t* fileName)
    : fileName_(fileName != nullptr ? fileName : L""), fromFile_(true) {}

KyTopLevelXMLReader::KyTopLevelXMLReader(const unsigned char* bytes, unsigned int length)
    : bytes_(bytes), length_(length), fromFile_(false) {}

KyTopLevelXMLReader::~KyTopLevelXMLReader() = default;

int KyTopLevelXMLReader::read() {
  clearFailure();
  std::FILE* file = nullptr;
  if (fromFile_) {
    file = std::fopen(KyUtf8::fromWide(fileName_).c_str(), "rb");
    if (file == nullptr)
      return fail(L"cannot read the file \"" + fileName_ + L"\"");
    const int first = std::fgetc(file);
    if (first == EOF || std::ungetc(first, file) == EOF) {
      const bool empty = std::feof(file) != 0;
      std::fclose(file);
      return fail(empty ? L"the document is empty"
                        : L"cannot read the file \"" + fileName_ + L"\"");
    }
  } else if (bytes_ == nullptr) {
    return fail(L"no document to read");
  } else if (length_ == 0) {
    return fail(L"the document is empty");
  }
  KyXMLPlatform platform;
  if (!platform.ready()) {
    if (file != nullptr)
      std::fclose(file);
    return fail(L"the XML platform cannot be initialised");
  }
  ZeroByte zero;
  // A document in memory is searched for a zero byte before it is parsed:
  // refused either way, it then costs no parse.
  if (file == nullptr && singleBytes(bytes_, length_))
    untilZero(bytes_, length_, zero);
  // From here the stream owns the file, and the source the stream.
  Source source(std::make_unique<Bytes>(bytes_, length_, file, zero));
  ParserLease parser;

  KyXMLIdentifiers<KyObject*> defined;
  std::unique_ptr<KyXMLFragment> whole(readsStream() == 0 ? new KyXMLFragment : nullptr);
  Events events(*this, whole.get());
  parser->setContentHandler(&events);
  parser->setErrorHandler(&events);
  parser->setLexicalHandler(&events);
  int result = 1;
  {
    KyPointerScope<KyXMLIdentifiers<KyObject*>> scope(defined_, &defined);
    try {
      if (!zero.found)
        parser->parse(source);
    } catch (const Stop&) {
      result = 0;
    } catch (const XMLException& error) {
      result = fail(L"the document cannot be parsed: " + KyXMLText::toWide(error.getMessage()));
    } catch (const OutOfMemoryException&) {
      parser.unfit();
      result = fail(L"the document is too large to read");
    }
    std::wstring refused; // the parser's reason, or the zero byte's
    if (zero.found)
      refused = place(zero.line, zero.column) +
                L": the document holds a zero byte, which XML does not allow";
    else
      refused = events.message();
    if (!refused.empty())
      result = 0;
    if (whole == nullptr) {
      // Readers keep back what the caller sees until the whole text was
      // read, and drop it when the read failed.
      result = finishRead(result);
    } else if (result != 0) {
      if (whole->pLast() == nullptr)
        return fail(L"the text is not an XML document");
      result = processDOMElement(*whole->pLast());
    }
    if (!refused.empty()) {
      clearFailure();
      return fail(refused);
    }
    if (result == 0 && !events.readerPlace().empty() && !failure().empty()) {
      const std::wstring reason = failure();
      clearFailure();
      return fail(reason + L" (" + events.readerPlace() + L")");
    }
  }
  if (result == 0)
    return failure().empty() ? fail(L"the document cannot be read") : 0;
  if (table_ != nullptr)
    defined.forEach([this](const XMLCh* id, KyObject* object) {
      table_->setID(KyXMLText::toWide(id).c_str(), object);
    });
  return 1;
}

int KyTopLevelXMLReader::setID(const wchar_t* id, KyObject* object) {
  if (defined_ == nullptr || object == nullptr || KyObjectTable::validID(id) == 0)
    return 0;
  defined_->add(KyXMLText::toXML(id), object, true);
  return 1;
}

KyObject* KyTopLevelXMLReader::pObject(const wchar_t* id) const {
  if (id == nullptr)
    return nullptr;
  if (defined_ != nullptr)
    if (KyObject* const* object = defined_->find(KyXMLText::toXML(id)))
      return *object;
  return table_ != nullptr ? table_->pObject(id) : nullptr;
}
