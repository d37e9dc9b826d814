// The graph part reader with its node and edge readers.
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyGraphXMLReader.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyObjectTable.h>

#include <kyplatform/KyXMLStartTag.h>

#include "KyXMLElement_p.h"
#include "KyXMLFragment_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <xercesc/dom/DOMAttr.hpp>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

using namespace xercesc;

namespace {
std::wstring quoted(std::u16string_view text) {
  return KyXMLText::quote(KyXMLText::toWide(KyXMLString(text).c_str()));
}

// An identifier as KyObjectTable::validID() wants it: not empty, no white space.
bool validID(std::u16string_view id) {
  return !id.empty() && std::none_of(id.begin(), id.end(), [](char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
  });
}

// Reads the optional "name" attribute into `member`.
int readName(const DOMElement& element, KyGraphMember* member) {
  if (member == nullptr)
    return 0;
  if (const XMLCh* name = kyAttributeValue(element, u"name"))
    member->pName(KyXMLText::toWide(name).c_str());
  return 1;
}
} // namespace

// The texts of one graph element (identifiers, names, edge ends waiting
// for their node), packed one after the other with a zero after each.
class KyGraphXMLReader::Texts {
public:
  struct Text {
    std::uint32_t at;
    std::uint32_t length;
  };
  Text add(std::u16string_view text) {
    const Text kept{static_cast<std::uint32_t>(chars_.size()),
                    static_cast<std::uint32_t>(text.size())};
    chars_.append(text);
    chars_.push_back(0);
    return kept;
  }
  std::u16string_view view(Text text) const {
    return std::u16string_view(chars_.data() + text.at, text.length);
  }
  const XMLCh* c_str(Text text) const { return chars_.data() + text.at; }

private:
  std::u16string chars_;
};

// The identifiers of one graph element with the position of each node (-1
// for the graph and the edges): one flat table probed linearly, as a graph
// of many members would otherwise spend its time on cache misses in a
// node-based map.
class KyGraphXMLReader::Identifiers {
public:
  explicit Identifiers(const Texts& texts) : texts_(texts), slots_(16) {}
  /// Adds `id`, kept in the texts, with `position`; false when the
  /// identifier is there already.
  bool add(Texts::Text id, int position) {
    const std::uint32_t hash = hashOf(texts_.view(id));
    if (slots_[find(texts_.view(id), hash)].taken)
      return false;
    if (2 * (used_ + 1) > slots_.size())
      grow();
    slots_[find(texts_.view(id), hash)] = Slot{id, hash, position, true};
    ++used_;
    return true;
  }
  /// The position kept for `id`; null when the identifier is not there.
  const int* position(std::u16string_view id) const {
    const Slot& slot = slots_[find(id, hashOf(id))];
    return slot.taken ? &slot.position : nullptr;
  }

private:
  struct Slot {
    Texts::Text id = {0, 0};
    std::uint32_t hash = 0;
    int position = 0;
    bool taken = false;
  };

  static std::uint32_t hashOf(std::u16string_view id) {
    std::uint32_t hash = 2166136261u; // FNV-1a, then a final mix
    for (const char16_t c : id)
      hash = (hash ^ c) * 16777619u;
    hash ^= hash >> 16;
    hash *= 0x7FEB352Du;
    return hash ^ (hash >> 15);
  }
  // The slot holding `id`, or the free slot where it would go.
  std::size_t find(std::u16string_view id, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (!slot.taken || (slot.hash == hash && texts_.view(slot.id) == id))
        return i;
    }
  }
  void grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old)
      if (slot.taken)
        slots_[find(texts_.view(slot.id), slot.hash)] = slot;
  }

  const Texts& texts_;
  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

// What one graph element holds, kept until its end: the graph changes only
// once all of it was read and found sound.
struct KyGraphXMLReader::Staging {
  static constexpr std::uint32_t kNoName = static_cast<std::uint32_t>(-1);
  struct Member {
    Texts::Text id;
    Texts::Text name; // `at` is kNoName when there is none
    const DOMElement* element; // for a node or edge reader of the caller's
  };
  struct Ends {
    int source;
    int target;
  };
  // An edge end that named no node yet when its edge came.
  struct Waiting {
    std::size_t edge;
    bool target;
    Texts::Text id;
  };

  Staging() : ids(texts) {}

  Texts texts;
  Identifiers ids;
  bool sawGraph = false;
  Texts::Text graphID = {0, 0};
  std::vector<Member> nodes;
  std::vector<Member> edges;
  std::vector<Ends> ends;
  std::vector<Waiting> waiting;
  std::unique_ptr<KyXMLFragment> members; // elements for the caller's readers
  bool gatheringNode = false;
  Texts::Text lastID = {0, 0}; // of the latest member or graph met
};

KyNodeXMLReader::~KyNodeXMLReader() = default;

KyNode* KyNodeXMLReader::pNode() const { return dynamic_cast<KyNode*>(pTarget()); }

int KyNodeXMLReader::processDOMElement(const DOMElement& element) {
  return readName(element, pNode()) != 0 ? 1 : fail(L"no node to read into");
}

KyEdgeXMLReader::~KyEdgeXMLReader() = default;

KyEdge* KyEdgeXMLReader::pEdge() const { return dynamic_cast<KyEdge*>(pTarget()); }

int KyEdgeXMLReader::processDOMElement(const DOMElement& element) {
  return readName(element, pEdge()) != 0 ? 1 : fail(L"no edge to read into");
}

KyGraphXMLReader::KyGraphXMLReader() : nodeReader_(&ownNodeReader_), edgeReader_(&ownEdgeReader_) {}

KyGraphXMLReader::~KyGraphXMLReader() = default;

KyGraph* KyGraphXMLReader::pGraph() const { return dynamic_cast<KyGraph*>(pTarget()); }

KyNodeXMLReader* KyGraphXMLReader::pNodeReader(KyNodeXMLReader* reader) {
  nodeReader_ = reader != nullptr ? reader : &ownNodeReader_;
  return reader;
}

KyEdgeXMLReader* KyGraphXMLReader::pEdgeReader(KyEdgeXMLReader* reader) {
  edgeReader_ = reader != nullptr ? reader : &ownEdgeReader_;
  return reader;
}

int KyGraphXMLReader::processDOMElement(const DOMElement& element) {
  return readAsStream(element);
}

int KyGraphXMLReader::readsStream() const { return 1; }

int KyGraphXMLReader::startElement(const KyXMLStartTag& tag, int depth) {
  const std::u16string_view name = tag.pName();
  if (depth == 0) {
    staging_ = std::make_unique<Staging>();
    return 1;
  }
  Staging& staging = *staging_;
  if (depth == 1) {
    if (name != u"graph")
      return fail(L"the part holds an element " + quoted(name) + L" that is not a graph");
    if (staging.sawGraph)
      return fail(L"the part holds more than one graph");
    staging.sawGraph = true;
    if (pGraph() == nullptr)
      return fail(L"no graph to read into");
    if (identify(tag, -1) == 0)
      return 0;
    staging.graphID = staging.lastID;
    return 1;
  }
  if (depth > 2) {
    if (staging.members != nullptr && staging.members->gathering())
      staging.members->start(tag);
    return 1;
  }
  const bool isNode = name == u"node";
  if (!isNode && name != u"edge")
    return fail(L"the graph holds an element " + quoted(name) +
                L" that is neither a node nor an edge");
  if (identify(tag, isNode ? static_cast<int>(staging.nodes.size()) : -1) == 0)
    return 0;
  Staging::Member member{staging.lastID, {Staging::kNoName, 0}, nullptr};
  if ((isNode ? nodeReader_ != &ownNodeReader_ : edgeReader_ != &ownEdgeReader_)) {
    if (staging.members == nullptr)
      staging.members = std::make_unique<KyXMLFragment>();
    staging.members->start(tag);
    staging.gatheringNode = isNode;
  } else if (const XMLCh* text = tag.pAttribute(u"name")) {
    member.name = staging.texts.add(text);
  }
  if (isNode) {
    staging.nodes.push_back(member);
    return 1;
  }
  Staging::Ends ends{-1, -1};
  for (const bool target : {false, true}) {
    const XMLCh* id = tag.pAttribute(target ? u"target" : u"source");
    const std::u16string_view end = id != nullptr ? id : u"";
    const int* found = staging.ids.position(end);
    if (found != nullptr && *found >= 0)
      (target ? ends.target : ends.source) = *found;
    else
      staging.waiting.push_back(Staging::Waiting{staging.edges.size(), target,
                                                 staging.texts.add(end)});
  }
  staging.edges.push_back(member);
  staging.ends.push_back(ends);
  return 1;
}

int KyGraphXMLReader::endElement(int depth) {
  Staging& staging = *staging_;
  if (depth >= 2) {
    if (staging.members != nullptr && staging.members->gathering()) {
      staging.members->end();
      if (depth == 2)
        (staging.gatheringNode ? staging.nodes : staging.edges).back().element =
            staging.members->pLast();
    }
    return 1;
  }
  return depth == 1 ? addMembers() : 1;
}

int KyGraphXMLReader::finishRead(int complete) {
  staging_.reset();
  return complete;
}

int KyGraphXMLReader::identify(const KyXMLStartTag& tag, int position) {
  Staging& staging = *staging_;
  const XMLCh* text = tag.pAttribute(u"id");
  const std::u16string_view view = text != nullptr ? text : u"";
  if (!validID(view))
    return fail(L"the " + KyXMLText::toWide(tag.pName()) + L" identifier " + quoted(view) +
                L" is missing or invalid");
  staging.lastID = staging.texts.add(view);
  if (!staging.ids.add(staging.lastID, position))
    return fail(L"the identifier " + quoted(view) + L" is used twice");
  return 1;
}

int KyGraphXMLReader::addMembers() {
  Staging& staging = *staging_;
  for (const Staging::Waiting& waiting : staging.waiting) {
    const int* found = staging.ids.position(staging.texts.view(waiting.id));
    if (found == nullptr || *found < 0)
      return fail(L"the edge " + quoted(staging.texts.view(staging.edges[waiting.edge].id)) +
                  L" has the " + (waiting.target ? L"target " : L"source ") +
                  quoted(staging.texts.view(waiting.id)) + L", which is not a node of the graph");
    Staging::Ends& ends = staging.ends[waiting.edge];
    (waiting.target ? ends.target : ends.source) = *found;
  }

  KyGraph* graph = pGraph();
  std::wstring wide; // reused for every identifier and name
  const auto registerID = [&](Texts::Text id, KyObject* object) {
    KyXMLText::toWide(staging.texts.c_str(id), wide);
    setID(wide.c_str(), object);
  };
  registerID(staging.graphID, graph);
  std::vector<KyNode*> made;
  made.reserve(staging.nodes.size());
  for (const Staging::Member& member : staging.nodes) {
    KyNode* node = graph->addNode();
    made.push_back(node);
    registerID(member.id, node);
    if (readMember(member.element != nullptr ? *nodeReader_ : ownNodeReader_, made.size() - 1,
                   true, node) == 0)
      return 0;
  }
  for (std::size_t i = 0; i < staging.edges.size(); ++i) {
    const Staging::Member& member = staging.edges[i];
    KyEdge* edge = graph->addEdge(made[staging.ends[i].source], made[staging.ends[i].target]);
    registerID(member.id, edge);
    if (readMember(member.element != nullptr ? *edgeReader_ : ownEdgeReader_, i, false, edge) ==
        0)
      return 0;
  }
  // What was kept goes; that a graph was read stays.
  staging_ = std::make_unique<Staging>();
  staging_->sawGraph = true;
  return 1;
}

int KyGraphXMLReader::readMember(KyXMLReader& reader, std::size_t index, bool isNode,
                                 KyGraphMember* made) {
  const Staging::Member& member = (isNode ? staging_->nodes : staging_->edges)[index];
  // This reader's own node and edge readers read the name; any other is
  // handed the member's element.
  if (member.element == nullptr) {
    if (member.name.at != Staging::kNoName) {
      std::wstring name;
      KyXMLText::toWide(staging_->texts.c_str(member.name), name);
      made->pName(name.c_str());
    }
    return 1;
  }
  KyHandlerScope<KyXMLReader> scope(reader, this, made);
  if (reader.processDOMElement(*member.element) != 0)
    return 1;
  return fail(std::wstring(isNode ? L"the node " : L"the edge ") +
              quoted(staging_->texts.view(member.id)) +
              L" cannot be read");
}
