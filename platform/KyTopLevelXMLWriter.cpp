#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyTopLevelXMLWriter.h>
#include <kyplatform/KyUtf8.h>
#include <kyplatform/KyXMLStream.h>

#include "KyXMLByteBlocks_p.h"
#include "KyXMLObjectKind_p.h"
#include "KyXMLPlatform_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/XMLFormatter.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

using namespace xercesc;

// The identifiers made in one write. Their texts are packed into blocks
// that double from a small first one up to kBlock characters, so that
// making one costs no allocation of its own and a small document no large
// block. Those of nodes and edges are found by the member's position in its
// graph, without hashing; those of other objects through a hash map.
struct KyTopLevelXMLWriter::Made {
  static constexpr std::size_t kFirstBlock = 1 << 8;
  static constexpr std::size_t kBlock = 1 << 14;

  // Identifiers of one graph's nodes ([0]) and edges ([1]) by position.
  struct Members {
    std::vector<const wchar_t*> of[2];
  };

  std::unordered_map<const KyObject*, const wchar_t*> ids;
  std::unordered_map<const KyGraph*, Members> members;
  const KyGraph* lastGraph = nullptr; // the graph of the latest member asked
  Members* lastMembers = nullptr;
  std::vector<std::unique_ptr<wchar_t[]>> blocks;
  std::size_t used = 0; // characters of the latest block
  std::size_t room = 0; // its size
  unsigned long next[4] = {0, 0, 0, 0};

  /// The place of the identifier of a node (`kind` 0) or edge (1), null
  /// while none is made.
  const wchar_t*& slotOf(const KyGraphMember& member, int kind) {
    if (member.pOwnerGraph() != lastGraph || lastMembers == nullptr) {
      lastGraph = member.pOwnerGraph();
      lastMembers = &members[lastGraph];
    }
    std::vector<const wchar_t*>& slots = lastMembers->of[kind];
    // The graph does not change during a write: one slot for each member.
    if (slots.empty())
      slots.resize(static_cast<std::size_t>(kind == 0 ? lastGraph->numberOfNodes()
                                                      : lastGraph->numberOfEdges()),
                   nullptr);
    return slots[static_cast<std::size_t>(member.index())];
  }

  /// The identifier made for `object`, or null; makes nothing.
  const wchar_t* find(const KyObject* object) {
    const KyXMLObjectKind kind = kyXMLKindOf(object);
    if (kind != KyXMLObjectKind::node && kind != KyXMLObjectKind::edge) {
      const auto made = ids.find(object);
      return made != ids.end() ? made->second : nullptr;
    }
    const auto& member = *static_cast<const KyGraphMember*>(object);
    if (member.pOwnerGraph() != lastGraph || lastMembers == nullptr) {
      const auto graph = members.find(member.pOwnerGraph());
      if (graph == members.end())
        return nullptr;
      lastGraph = graph->first;
      lastMembers = &graph->second;
    }
    const std::vector<const wchar_t*>& slots =
        lastMembers->of[kind == KyXMLObjectKind::node ? 0 : 1];
    const auto at = static_cast<std::size_t>(member.index());
    return at < slots.size() ? slots[at] : nullptr;
  }

  /// Calls `take(object, id)` on every made identifier.
  template <typename Take> void forEach(Take take) const {
    for (const auto& [object, id] : ids)
      take(object, id);
    for (const auto& [graph, made] : members)
      for (int kind = 0; kind < 2; ++kind)
        for (std::size_t i = 0; i < made.of[kind].size(); ++i)
          if (const wchar_t* id = made.of[kind][i])
            take(kind == 0 ? static_cast<const KyObject*>(graph->pNodeAt(static_cast<int>(i)))
                           : graph->pEdgeAt(static_cast<int>(i)),
                 id);
  }

  /// Keeps a copy of the `length` characters of `id` and returns it.
  const wchar_t* keep(const wchar_t* id, std::size_t length) {
    const std::size_t size = length + 1;
    if (used + size > room) {
      room = std::max(size, std::clamp(2 * room, kFirstBlock, kBlock));
      blocks.emplace_back(new wchar_t[room]);
      used = 0;
    }
    wchar_t* text = blocks.back().get() + used;
    std::copy(id, id + length, text);
    text[length] = 0;
    used += size;
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

// What DOMLSSerializer writes, collected in byte blocks.
class BlockTarget : public XMLFormatTarget {
public:
  explicit BlockTarget(KyXMLByteBlocks& out) : out_(out) {}
  void writeChars(const XMLByte* bytes, XMLSize_t count, XMLFormatter*) override {
    out_.append(bytes, count);
  }

private:
  KyXMLByteBlocks& out_;
};

// Writes `document` through DOMLSSerializer into `out`; returns the first
// error, empty when it was written.
std::wstring serialize(DOMImplementation& implementation, DOMDocument& document, bool indenting,
                       KyXMLByteBlocks& out) {
  auto& ls = static_cast<DOMImplementationLS&>(implementation);
  Owned<DOMLSSerializer> serializer(ls.createLSSerializer());
  FirstError errors;
  DOMConfiguration* settings = serializer->getDomConfig();
  settings->setParameter(XMLUni::fgDOMErrorHandler, &errors);
  settings->setParameter(XMLUni::fgDOMWRTFormatPrettyPrint, indenting);
  settings->setParameter(XMLUni::fgDOMWRTXercesPrettyPrint, false);
  BlockTarget target(out);
  Owned<DOMLSOutput> output(ls.createLSOutput());
  output->setByteStream(&target);
  output->setEncoding(u"UTF-8");
  if (!serializer->write(&document, output.get()) && errors.message().empty())
    return L"the document cannot be serialized";
  return errors.message();
}

} // namespace

KyTopLevelXMLWriter::KyTopLevelXMLWriter(const wchar_t* fileName, int indenting, int usingTemplates)
    : fileName_(fileName != nullptr ? fileName : L""), toFile_(true), indenting_(indenting),
      usingTemplates_(usingTemplates) {}

KyTopLevelXMLWriter::KyTopLevelXMLWriter(unsigned char** buffer, int indenting, int usingTemplates)
    : buffer_(buffer), toFile_(false), indenting_(indenting), usingTemplates_(usingTemplates) {}

KyTopLevelXMLWriter::KyTopLevelXMLWriter(Pieces pieces, int indenting, int usingTemplates)
    : pieces_(std::move(pieces)), toFile_(false), indenting_(indenting),
      usingTemplates_(usingTemplates) {}

KyTopLevelXMLWriter::~KyTopLevelXMLWriter() = default;

const wchar_t* KyTopLevelXMLWriter::pID(const KyObject* object) {
  if (object == nullptr || made_ == nullptr)
    return nullptr;
  const auto kind = static_cast<int>(kyXMLKindOf(object));
  // The table does not change during a write, so an object named here was
  // not named by the table.
  const wchar_t** slot = nullptr;
  if (kind == static_cast<int>(KyXMLObjectKind::node) ||
      kind == static_cast<int>(KyXMLObjectKind::edge)) {
    slot = &made_->slotOf(*static_cast<const KyGraphMember*>(object),
                          kind == static_cast<int>(KyXMLObjectKind::node) ? 0 : 1);
    if (*slot != nullptr)
      return *slot;
  } else if (const auto made = made_->ids.find(object); made != made_->ids.end()) {
    return made->second;
  }
  if (table_ != nullptr)
    if (const wchar_t* id = table_->pID(object))
      return id;
  static constexpr wchar_t kLetters[] = L"gneo";
  // A letter and the decimal digits of a number: at most 1 + 20 characters.
  wchar_t id[24];
  std::size_t length;
  // Made identifiers never repeat; only the caller's may be in the way.
  do {
    wchar_t digits[21];
    std::size_t count = 0;
    for (unsigned long number = made_->next[kind]++; count == 0 || number != 0; number /= 10)
      digits[count++] = static_cast<wchar_t>(L'0' + number % 10);
    id[0] = kLetters[kind];
    for (length = 1; count != 0; ++length)
      id[length] = digits[--count];
    id[length] = 0;
  } while (table_ != nullptr && table_->pObject(id) != nullptr);
  const wchar_t* text = made_->keep(id, length);
  if (slot != nullptr)
    *slot = text;
  else
    made_->ids.emplace(object, text);
  return text;
}

const wchar_t* KyTopLevelXMLWriter::pKnownID(const KyObject* object) {
  if (object == nullptr || made_ == nullptr)
    return nullptr;
  if (const wchar_t* id = made_->find(object))
    return id;
  return table_ != nullptr ? table_->pID(object) : nullptr;
}

int KyTopLevelXMLWriter::write() {
  clearFailure();
  outputSize_ = 0;
  if (!toFile_ && buffer_ == nullptr && !pieces_)
    return fail(L"no buffer to write to");
  KyXMLPlatform platform;
  if (!platform.ready())
    return fail(L"the XML platform cannot be initialised");
  // Written as a stream of elements; a document that holds what the stream
  // does not carry is written again as one DOM, which gives the same text.
  // A document that goes on to a taker of pieces as it is made is streamed
  // twice: once to learn that it can be written and its size, handing
  // nothing on, then again handed on as it is made, so that its text is
  // never held whole. A file is written only from a whole text, so that a
  // failure never leaves part of one.
  const bool handed = pieces_ && handingAsMade_ != 0;
  const int streamed = writeOnce(true, handed ? Output::count : Output::keep);
  if (streamed == 1 && handed)
    return writeOnce(true, Output::hand);
  if (streamed != -1)
    return streamed;
  return writeOnce(false, Output::keep);
}

int KyTopLevelXMLWriter::writeOnce(bool stream, Output output) {
  clearFailure();
  const unsigned long counted = std::exchange(outputSize_, 0);
  Made made;
  KyXMLByteBlocks text;
  if (output == Output::count) {
    text.handOff([](const unsigned char*, std::size_t) {});
  } else if (output == Output::hand) {
    // Set first: the taker of pieces may ask it to make room for all of them.
    outputSize_ = counted;
    text.handOff(pieces_);
  }
  // A failure of the second of two passes can only be running out of
  // memory, after part of the document was handed on: the size goes too.
  const auto failed = [this](int result) {
    outputSize_ = 0;
    return result;
  };
  try {
    DOMImplementation* implementation = DOMImplementationRegistry::getDOMImplementation(u"LS");
    Owned<DOMDocument> document(implementation->createDocument(nullptr, u"document", nullptr));
    DOMElement* root = document->getDocumentElement();
    KyXMLStream out(text, indenting_ != 0);
    if (stream) {
      out.declaration();
      out.start(u"document");
    }
    int populated;
    {
      KyPointerScope<Made> scope(made_, &made);
      KyPointerScope<KyXMLStream> streaming(stream_, stream ? &out : nullptr);
      populated = populateDOMElement(*root);
    }
    if (populated == 0)
      return failed(failure().empty() ? fail(L"the document cannot be written") : 0);
    if (stream) {
      // The document element must hold nothing but what went into the
      // stream, and the stream must have carried all of it.
      if (out.failure() == KyXMLStream::Failure::character)
        return failed(fail(L"the document cannot be written: invalid or illegal XML character"));
      if (out.failure() != KyXMLStream::Failure::none || root->hasAttributes() ||
          root->hasChildNodes())
        return failed(-1);
      out.end();
      out.finish();
    } else if (const std::wstring error =
                   serialize(*implementation, *document, indenting_ != 0, text);
               !error.empty()) {
      return fail(error);
    }
    if (output != Output::keep)
      text.flush();
  } catch (const DOMException& error) {
    return failed(
        fail(L"the document cannot be written: " + KyXMLText::toWide(error.getMessage())));
  } catch (const XMLException& error) {
    return failed(
        fail(L"the document cannot be written: " + KyXMLText::toWide(error.getMessage())));
  } catch (const OutOfMemoryException&) {
    return failed(fail(L"the document is too large to write"));
  }

  const std::size_t size = text.size();
  if (output == Output::count) {
    outputSize_ = static_cast<unsigned long>(size);
    return 1;
  }
  if (toFile_) {
    std::ofstream file(KyUtf8::fromWide(fileName_), std::ios::binary | std::ios::trunc);
    text.forEachBlock([&file](const unsigned char* bytes, std::size_t length) {
      file.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(length));
    });
    file.close();
    if (!file)
      return fail(L"cannot write the file \"" + fileName_ + L"\"");
  }
  // The identifiers go to the table and are freed before a document held
  // whole is handed over: they and what the taker makes of it are not held
  // at once.
  if (table_ != nullptr)
    made.forEach([this](const KyObject* object, const wchar_t* id) {
      table_->setID(id, const_cast<KyObject*>(object));
    });
  made = Made();
  // Set first: the taker of pieces may ask it to make room for all of them.
  outputSize_ = static_cast<unsigned long>(size);
  if (output == Output::keep && pieces_)
    text.forEachBlock(pieces_);
  else if (output == Output::keep && !toFile_)
    *buffer_ = text.release();
  return 1;
}
