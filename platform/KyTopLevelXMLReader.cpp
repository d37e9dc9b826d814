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
#include <initializer_list>
#include <memory>
#include <utility>

using namespace xercesc;

namespace {
// Thrown from the parser's callbacks to end a read; the reason is recorded.
struct Stop {};

std::wstring place(XMLFileLoc line, XMLFileLoc column) {
  return L"line " + std::to_wstring(line) + L", column " + std::to_wstring(column);
}

// Looks through a document's bytes for what the parser would pass over in
// silence. U+0000, which XML never holds and which the parser takes for the
// end of the text, ignoring whatever follows: a zero byte in a document of
// single bytes (UTF-8 and the like), a unit of zero bytes in one of UTF-16
// or UTF-32. And in those, bytes left over after the last whole unit,
// which the parser drops. The first bytes tell the layout: a byte-order
// mark, or the "<" that begins a document, in units of two or four bytes
// of either byte order. Lines and columns are counted on the way, so that
// the place can be told: columns by bytes in single bytes, by characters
// otherwise, the byte-order mark left out.
class ByteScan {
public:
  /// Takes the layout of the document from its first `got` bytes.
  void begin(const XMLByte* first, std::size_t got);
  /// Looks at the next `got` bytes of the document; returns how many come
  /// before the first zero, all of them when there is none.
  std::size_t scan(const XMLByte* bytes, std::size_t got) {
    return width_ == 1 ? scanBytes(bytes, got) : scanUnits(bytes, got);
  }
  /// The whole document was scanned.
  void end() { ended_ = true; }
  /// True when a zero was found, or the whole document ends inside a unit.
  bool refuses() const { return found_ || (ended_ && unitBytes_ != 0); }
  /// Where, and why the document is refused.
  std::wstring refusal() const {
    return place(line_, column_) +
           (!found_       ? L": the document ends inside a character"
            : width_ == 1 ? L": the document holds a zero byte, which XML does not allow"
                          : L": the document holds the character U+0000, which XML does not allow");
  }

private:
  std::size_t scanBytes(const XMLByte* bytes, std::size_t got);
  std::size_t scanUnits(const XMLByte* bytes, std::size_t got);

  std::size_t width_ = 1; // bytes a unit
  bool bigEndian_ = false;
  bool found_ = false;
  bool ended_ = false;
  std::size_t line_ = 1;
  std::size_t column_ = 1;
  // The unit being put together, and how many of its bytes it has.
  char32_t unit_ = 0;
  std::size_t unitBytes_ = 0;
  bool first_ = true; // no whole unit was looked at yet
};

void ByteScan::begin(const XMLByte* first, std::size_t got) {
  const auto starts = [first, got](std::initializer_list<XMLByte> bytes) {
    return got >= bytes.size() && std::equal(bytes.begin(), bytes.end(), first);
  };
  // Four-byte forms first: a UTF-32LE mark begins as a UTF-16LE one does.
  if (starts({0, 0, 0xFE, 0xFF}) || starts({0, 0, 0, '<'}))
    width_ = 4, bigEndian_ = true;
  else if (starts({0xFF, 0xFE, 0, 0}) || starts({'<', 0, 0, 0}))
    width_ = 4;
  else if (starts({0xFE, 0xFF}) || starts({0, '<'}))
    width_ = 2, bigEndian_ = true;
  else if (starts({0xFF, 0xFE}) || starts({'<', 0}))
    width_ = 2;
}

std::size_t ByteScan::scanBytes(const XMLByte* bytes, std::size_t got) {
  if (const void* at = std::memchr(bytes, 0, got)) {
    got = static_cast<std::size_t>(static_cast<const XMLByte*>(at) - bytes);
    found_ = true;
  }
  const XMLByte* lineStart = nullptr;
  for (const XMLByte* at = bytes;
       (at = static_cast<const XMLByte*>(std::memchr(at, '\n', got - (at - bytes)))) != nullptr;
       ++at) {
    ++line_;
    lineStart = at + 1;
  }
  column_ = lineStart != nullptr ? 1 + (bytes + got - lineStart) : column_ + got;
  return got;
}

std::size_t ByteScan::scanUnits(const XMLByte* bytes, std::size_t got) {
  // Byte by byte, as a unit may lie across two pieces of a file.
  for (std::size_t i = 0; i < got; ++i) {
    const std::size_t shift = 8 * (bigEndian_ ? width_ - 1 - unitBytes_ : unitBytes_);
    unit_ |= char32_t{bytes[i]} << shift;
    if (++unitBytes_ < width_)
      continue;
    const char32_t unit = std::exchange(unit_, 0);
    unitBytes_ = 0;
    if (unit == 0) {
      found_ = true;
      return i + 1 >= width_ ? i + 1 - width_ : 0;
    }
    if (unit == '\n') {
      ++line_;
      column_ = 1;
    } else if (!(first_ && unit == 0xFEFF) && !(width_ == 2 && unit >= 0xDC00 && unit < 0xE000)) {
      ++column_; // the low half of a surrogate pair is no character of its own
    }
    first_ = false;
  }
  return got;
}

// The document's bytes: from memory, from a file read piece by piece, or
// from the caller's pieces, the last two scanned on the way (memory is
// scanned before it is parsed). It outlives the parser's stream, so that
// what a parse that stopped early left unread can still be scanned.
class Feed {
public:
  Feed(const unsigned char* bytes, std::size_t length, ByteScan& scan)
      : bytes_(bytes), length_(length), scan_(scan) {}
  Feed(std::FILE* file, ByteScan& scan) : file_(file), scan_(scan) {}
  Feed(const KyTopLevelXMLReader::NextPiece& next, ByteScan& scan) : next_(&next), scan_(scan) {}
  ~Feed() {
    if (file_ != nullptr)
      std::fclose(file_);
  }
  Feed(const Feed&) = delete;
  Feed& operator=(const Feed&) = delete;

  /// Takes the first bytes of pieces, enough to tell the layout of the
  /// document; false when the source fails.
  bool begin() {
    while (firstLength_ < sizeof first_) {
      std::size_t got = 0;
      if (!(*next_)(first_ + firstLength_, sizeof first_ - firstLength_, got))
        return !(failed_ = true);
      if (got == 0)
        break;
      firstLength_ += got;
    }
    scan_.begin(first_, firstLength_);
    return true;
  }
  /// True when begin() found no byte at all.
  bool empty() const { return firstLength_ == 0; }

  std::size_t read(XMLByte* fill, std::size_t most) {
    if (scan_.refuses() || failed_ || ended_)
      return 0;
    std::size_t got;
    if (bytes_ != nullptr) {
      got = std::min<std::size_t>(most, length_ - position_);
      std::memcpy(fill, bytes_ + position_, got);
      position_ += got;
      return got;
    }
    if (file_ != nullptr) {
      got = std::fread(fill, 1, most, file_);
      if (position_ == 0)
        scan_.begin(fill, got);
    } else {
      // The parser tells the encoding from its first read, so every read
      // is filled as far as the pieces go.
      got = 0;
      if (position_ < firstLength_) {
        got = std::min<std::size_t>(most, firstLength_ - position_);
        std::memcpy(fill, first_ + position_, got);
      }
      for (std::size_t piece = 1; got < most && piece != 0; got += piece)
        if (!(*next_)(fill + got, most - got, piece)) {
          failed_ = true;
          return 0;
        }
    }
    if (got == 0) {
      ended_ = true;
      scan_.end();
    }
    got = scan_.scan(fill, got);
    position_ += got;
    return got;
  }
  /// Reads what is left of pieces, to the end or to the first fault.
  void drain() {
    if (next_ == nullptr)
      return;
    XMLByte rest[1 << 14];
    while (read(rest, sizeof rest) != 0) {
    }
  }
  bool failed() const { return failed_; }
  XMLFilePos position() const { return position_; }

private:
  const unsigned char* bytes_ = nullptr;
  std::size_t length_ = 0;
  std::FILE* file_ = nullptr;
  const KyTopLevelXMLReader::NextPiece* next_ = nullptr;
  ByteScan& scan_;
  XMLByte first_[4] = {};
  std::size_t firstLength_ = 0;
  XMLFilePos position_ = 0;
  bool failed_ = false;
  bool ended_ = false;
};

// The parser's view of a feed.
class Bytes : public BinInputStream {
public:
  explicit Bytes(Feed& feed) : feed_(feed) {}
  XMLFilePos curPos() const override { return feed_.position(); }
  XMLSize_t readBytes(XMLByte* const fill, const XMLSize_t most) override {
    return feed_.read(fill, most);
  }
  const XMLCh* getContentType() const override { return nullptr; }

private:
  Feed& feed_;
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
// platform up while it lives, until its thread ends. A parser holding more
// than kKeptBytes after a read is not kept: it keeps the list of children
// it grew for the element with most children, which for a large document is
// as large as a list of all its nodes and edges.
struct KeptParser {
  static constexpr std::size_t kKeptBytes = 1 << 22;

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
      if (unfit_ || kept_->memory.heldBytes() > KeptParser::kKeptBytes)
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

KyTopLevelXMLReader::KyTopLevelXMLReader(NextPiece next)
    : fromFile_(false), next_(std::move(next)) {}

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
  } else if (bytes_ == nullptr && !next_) {
    return fail(L"no document to read");
  } else if (bytes_ != nullptr && length_ == 0) {
    return fail(L"the document is empty");
  }
  KyXMLPlatform platform;
  if (!platform.ready()) {
    if (file != nullptr)
      std::fclose(file);
    return fail(L"the XML platform cannot be initialised");
  }
  ByteScan scan;
  // From here the feed owns the file.
  std::unique_ptr<Feed> feed = file != nullptr ? std::make_unique<Feed>(file, scan)
                               : next_         ? std::make_unique<Feed>(next_, scan)
                                               : std::make_unique<Feed>(bytes_, length_, scan);
  if (next_ && file == nullptr) {
    if (!feed->begin())
      return fail(L"the document cannot be read");
    if (feed->empty())
      return fail(L"the document is empty");
  } else if (file == nullptr) {
    // A document in memory is scanned before it is parsed: refused either
    // way, it then costs no parse.
    scan.begin(bytes_, length_);
    scan.scan(bytes_, length_);
    scan.end();
  }
  Source source(std::make_unique<Bytes>(*feed));
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
      if (!scan.refuses())
        parser->parse(source);
    } catch (const Stop&) {
      result = 0;
    } catch (const XMLException& error) {
      result = fail(L"the document cannot be parsed: " + KyXMLText::toWide(error.getMessage()));
    } catch (const OutOfMemoryException&) {
      parser.unfit();
      result = fail(L"the document is too large to read");
    }
    feed->drain();
    // The source's failure, the scan's reason, or the parser's.
    const std::wstring refused = feed->failed()   ? L"the document cannot be read"
                                 : scan.refuses() ? scan.refusal()
                                                  : events.message();
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
