// The graph part reader with its node and edge readers.
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyGraphXMLReader.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyObjectTable.h>

#include "KyXMLElement_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <xercesc/dom/DOMAttr.hpp>

#include <cstdint>
#include <string_view>
#include <vector>

using namespace xercesc;

namespace {
std::wstring quoted(const XMLCh* text) { return KyXMLText::quote(KyXMLText::toWide(text)); }

// The identifiers of one graph element with the position of each node (-1
// for the graph and the edges): one flat table probed linearly, sized once
// for all the members, as a graph of many members would otherwise spend
// its time on cache misses in a node-based map.
class Identifiers {
public:
  explicit Identifiers(std::size_t count) {
    std::size_t capacity = 16;
    while (capacity < 2 * count)
      capacity *= 2;
    slots_.resize(capacity);
  }
  /// Adds `id` with `position`; false when the identifier is there already.
  bool add(std::u16string_view id, int position) {
    const std::uint32_t hash = hashOf(id);
    std::size_t at = find(id, hash);
    if (slots_[at].taken)
      return false;
    if (2 * (used_ + 1) > slots_.size()) {
      grow();
      at = find(id, hash);
    }
    slots_[at] = Slot{id, hash, position, true};
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
    std::u16string_view id;
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
      if (!slot.taken || (slot.hash == hash && slot.id == id))
        return i;
    }
  }
  void grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old)
      if (slot.taken)
        slots_[find(slot.id, slot.hash)] = slot;
  }

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

// Reads the optional "name" attribute into `member`.
int readName(const DOMElement& element, KyGraphMember* member) {
  if (member == nullptr)
    return 0;
  if (const XMLCh* name = kyAttributeValue(element, u"name"))
    member->pName(KyXMLText::toWide(name).c_str());
  return 1;
}
} // namespace

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
  const DOMElement* graphElement = nullptr;
  for (const DOMElement* child = element.getFirstElementChild(); child != nullptr;
       child = child->getNextElementSibling()) {
    if (std::u16string_view(child->getTagName()) != u"graph")
      return fail(L"the part holds an element " + quoted(child->getTagName()) +
                  L" that is not a graph");
    if (graphElement != nullptr)
      return fail(L"the part holds more than one graph");
    graphElement = child;
  }
  if (graphElement == nullptr)
    return 1;
  KyGraph* graph = pGraph();
  if (graph == nullptr)
    return fail(L"no graph to read into");

  // Check everything before the graph changes. Each member is kept with
  // its identifier, so that the attribute is looked up once.
  struct Member {
    const DOMElement* element;
    const XMLCh* id;
  };
  Identifiers ids(graphElement->getChildElementCount() + 1); // node position, or -1
  std::vector<Member> nodes;
  std::vector<Member> edges;
  std::wstring wide; // reused for every identifier
  auto identify = [&](const DOMElement& member, int position) -> const XMLCh* {
    const XMLCh* id = kyAttributeOrEmpty(member, u"id");
    KyXMLText::toWide(id, wide);
    if (!KyObjectTable::validID(wide.c_str())) {
      fail(L"the " + KyXMLText::toWide(member.getTagName()) + L" identifier " + quoted(id) +
           L" is missing or invalid");
      return nullptr;
    }
    if (!ids.add(id, position)) {
      fail(L"the identifier " + quoted(id) + L" is used twice");
      return nullptr;
    }
    return id;
  };
  const XMLCh* graphID = identify(*graphElement, -1);
  if (graphID == nullptr)
    return 0;
  for (const DOMElement* child = graphElement->getFirstElementChild(); child != nullptr;
       child = child->getNextElementSibling()) {
    const std::u16string_view tag = child->getTagName();
    if (tag == u"node") {
      const XMLCh* id = identify(*child, static_cast<int>(nodes.size()));
      if (id == nullptr)
        return 0;
      nodes.push_back(Member{child, id});
    } else if (tag == u"edge") {
      const XMLCh* id = identify(*child, -1);
      if (id == nullptr)
        return 0;
      edges.push_back(Member{child, id});
    } else {
      return fail(L"the graph holds an element " + quoted(child->getTagName()) +
                  L" that is neither a node nor an edge");
    }
  }
  std::vector<std::pair<int, int>> ends;
  ends.reserve(edges.size());
  for (const Member& edge : edges) {
    int end[2];
    const XMLCh* const names[2] = {u"source", u"target"};
    for (int i = 0; i < 2; ++i) {
      const XMLCh* id = kyAttributeOrEmpty(*edge.element, names[i]);
      const int* found = ids.position(id);
      if (found == nullptr || *found < 0)
        return fail(L"the edge " + quoted(edge.id) + L" has the " + KyXMLText::toWide(names[i]) +
                    L" " + quoted(id) + L", which is not a node of the graph");
      end[i] = *found;
    }
    ends.emplace_back(end[0], end[1]);
  }

  KyXMLText::toWide(graphID, wide);
  setID(wide.c_str(), graph);
  std::vector<KyNode*> made;
  made.reserve(nodes.size());
  for (const Member& member : nodes) {
    KyNode* node = graph->addNode();
    made.push_back(node);
    KyXMLText::toWide(member.id, wide);
    setID(wide.c_str(), node);
    KyHandlerScope<KyXMLReader> scope(*nodeReader_, this, node);
    if (nodeReader_->processDOMElement(*member.element) == 0)
      return fail(L"the node " + quoted(member.id) + L" cannot be read");
  }
  for (std::size_t i = 0; i < edges.size(); ++i) {
    KyEdge* edge = graph->addEdge(made[ends[i].first], made[ends[i].second]);
    KyXMLText::toWide(edges[i].id, wide);
    setID(wide.c_str(), edge);
    KyHandlerScope<KyXMLReader> scope(*edgeReader_, this, edge);
    if (edgeReader_->processDOMElement(*edges[i].element) == 0)
      return fail(L"the edge " + quoted(edges[i].id) + L" cannot be read");
  }
  return 1;
}
