// The graph part reader with its node and edge readers.
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyGraphXMLReader.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyObjectTable.h>

#include <kyplatform/KyXMLStartTag.h>

#include "KyXMLElement_p.h"
#include "KyXMLFragment_p.h"
#include "KyXMLIdentifiers_p.h"
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

// What one graph element holds, kept until its end: the graph changes only
// once all of it was read and found sound. Each identifier keeps what it
// names: a node's position (0 and up), the graph (kGraph) or an edge's
// position p (-2 - p).
struct KyGraphXMLReader::Staging {
  static constexpr int kGraph = -1;
  static constexpr std::uint32_t kNoName = static_cast<std::uint32_t>(-1);
  using Text = KyXMLTexts::Text;
  // An edge end that named no node yet when its edge came.
  struct Waiting {
    std::size_t edge;
    bool target;
    Text edgeID;
    Text end;
  };

  static int edgeValue(std::size_t position) { return -2 - static_cast<int>(position); }

  KyXMLIdentifiers<int> ids;
  KyXMLTexts texts; // names, and what waiting ends and messages need
  bool sawGraph = false;
  // Per node and per edge, with this reader's own node and edge readers its
  // name (`at` is kNoName when there is none); with a reader of the
  // caller's its identifier, for a message, and its element.
  std::vector<Text> nodes;
  std::vector<Text> edges;
  std::vector<const DOMElement*> elements[2]; // of nodes, of edges
  // Per edge, the nodes its ends name, by their order in `nodes` (-1 while
  // a node waits to be named), then by their positions in the graph.
  std::vector<int> sources, targets;
  std::vector<Waiting> waiting;
  std::unique_ptr<KyXMLFragment> members; // elements for the caller's readers
  bool gatheringNode = false;
  // The graph's numbers of nodes and edges before the members read were
  // added to it, so that a failed read can take them back; -1 before.
  int nodesBefore = -1;
  int edgesBefore = -1;
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

int KyGraphXMLReader::processDOMElement(const DOMElement& element) { return readAsStream(element); }

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
    return identify(tag, Staging::kGraph);
  }
  if (depth > 2) {
    if (staging.members != nullptr && staging.members->gathering())
      return staging.members->start(tag) ? 1 : fail(staging.members->refusal());
    return 1;
  }
  const bool isNode = name == u"node";
  if (!isNode && name != u"edge")
    return fail(L"the graph holds an element " + quoted(name) +
                L" that is neither a node nor an edge");
  if (identify(tag, isNode ? static_cast<int>(staging.nodes.size())
                           : Staging::edgeValue(staging.edges.size())) == 0)
    return 0;
  Staging::Text member{Staging::kNoName, 0};
  if ((isNode ? nodeReader_ != &ownNodeReader_ : edgeReader_ != &ownEdgeReader_)) {
    if (staging.members == nullptr)
      staging.members = std::make_unique<KyXMLFragment>();
    if (!staging.members->start(tag))
      return fail(staging.members->refusal());
    staging.gatheringNode = isNode;
    member = staging.texts.add(tag.pAttribute(u"id"));
  } else if (const XMLCh* text = tag.pAttribute(u"name")) {
    member = staging.texts.add(text);
  }
  if (isNode) {
    staging.nodes.push_back(member);
    return 1;
  }
  for (const bool target : {false, true}) {
    const XMLCh* id = tag.pAttribute(target ? u"target" : u"source");
    const std::u16string_view end = id != nullptr ? id : u"";
    const int* found = staging.ids.find(end);
    (target ? staging.targets : staging.sources)
        .push_back(found != nullptr && *found >= 0 ? *found : -1);
    if (found == nullptr || *found < 0)
      staging.waiting.push_back(Staging::Waiting{staging.edges.size(), target,
                                                 staging.texts.add(tag.pAttribute(u"id")),
                                                 staging.texts.add(end)});
  }
  staging.edges.push_back(member);
  return 1;
}

int KyGraphXMLReader::endElement(int depth) {
  Staging& staging = *staging_;
  if (depth >= 2) {
    if (staging.members != nullptr && staging.members->gathering()) {
      staging.members->end();
      if (depth == 2)
        staging.elements[staging.gatheringNode ? 0 : 1].push_back(staging.members->pLast());
    }
    return 1;
  }
  return depth == 1 ? addMembers() : 1;
}

int KyGraphXMLReader::finishRead(int complete) {
  const std::unique_ptr<Staging> staging = std::move(staging_);
  if (complete == 0 && staging != nullptr && staging->nodesBefore >= 0)
    if (KyGraph* graph = pGraph())
      graph->removeMembersFrom(staging->nodesBefore, staging->edgesBefore);
  return complete;
}

int KyGraphXMLReader::identify(const KyXMLStartTag& tag, int position) {
  Staging& staging = *staging_;
  const XMLCh* text = tag.pAttribute(u"id");
  const std::u16string_view view = text != nullptr ? text : u"";
  if (!validID(view))
    return fail(L"the " + KyXMLText::toWide(tag.pName()) + L" identifier " + quoted(view) +
                L" is missing or invalid");
  if (!staging.ids.add(view, position))
    return fail(L"the identifier " + quoted(view) + L" is used twice");
  return 1;
}

int KyGraphXMLReader::addMembers() {
  Staging& staging = *staging_;
  for (const Staging::Waiting& waiting : staging.waiting) {
    const int* found = staging.ids.find(staging.texts.view(waiting.end));
    if (found == nullptr || *found < 0)
      return fail(L"the edge " + quoted(staging.texts.view(waiting.edgeID)) + L" has the " +
                  (waiting.target ? L"target " : L"source ") +
                  quoted(staging.texts.view(waiting.end)) + L", which is not a node of the graph");
    (waiting.target ? staging.targets : staging.sources)[waiting.edge] = *found;
  }

  KyGraph* graph = pGraph();
  staging.nodesBefore = graph->numberOfNodes();
  staging.edgesBefore = graph->numberOfEdges();
  std::vector<KyNode*> nodes;
  std::vector<int> positions;
  nodes.reserve(staging.nodes.size());
  positions.reserve(staging.nodes.size());
  for (std::size_t i = 0; i < staging.nodes.size(); ++i) {
    nodes.push_back(graph->addNode());
    positions.push_back(nodes.back()->index());
    if (readMember(*nodeReader_, i, true, nodes.back()) == 0)
      return 0;
  }
  // The edges at once, by their ends' positions: their links, anywhere in
  // a large graph, are fetched ahead.
  for (std::vector<int>* ends : {&staging.sources, &staging.targets})
    for (int& end : *ends)
      end = positions[static_cast<std::size_t>(end)];
  if (graph->addEdges(staging.sources, staging.targets) < 0)
    return fail(L"the graph cannot hold " + std::to_wstring(staging.edges.size()) + L" more edges");
  std::vector<KyEdge*> edges;
  edges.reserve(staging.edges.size());
  for (std::size_t i = 0; i < staging.edges.size(); ++i) {
    edges.push_back(graph->pEdgeAt(staging.edgesBefore + static_cast<int>(i)));
    if (readMember(*edgeReader_, i, false, edges.back()) == 0)
      return 0;
  }
  std::wstring wide; // reused for every identifier
  staging.ids.forEach([&](const XMLCh* id, int value) {
    KyXMLText::toWide(id, wide);
    setID(wide.c_str(), value == Staging::kGraph ? static_cast<KyObject*>(graph)
                        : value >= 0             ? static_cast<KyObject*>(nodes[value])
                                                 : edges[static_cast<std::size_t>(-2 - value)]);
  });
  // What was kept goes; that a graph was read stays, and what it added
  // until the whole text was read.
  const int nodesBefore = staging.nodesBefore, edgesBefore = staging.edgesBefore;
  staging_ = std::make_unique<Staging>();
  staging_->sawGraph = true;
  staging_->nodesBefore = nodesBefore;
  staging_->edgesBefore = edgesBefore;
  return 1;
}

int KyGraphXMLReader::readMember(KyXMLReader& reader, std::size_t index, bool isNode,
                                 KyGraphMember* made) {
  const Staging::Text member = (isNode ? staging_->nodes : staging_->edges)[index];
  // This reader's own node and edge readers read the name; any other is
  // handed the member's element.
  if (&reader == &ownNodeReader_ || &reader == &ownEdgeReader_) {
    if (member.at != Staging::kNoName) {
      std::wstring name;
      KyXMLText::toWide(staging_->texts.c_str(member), name);
      made->pName(name.c_str());
    }
    return 1;
  }
  KyHandlerScope<KyXMLReader> scope(reader, this, made);
  if (reader.processDOMElement(*staging_->elements[isNode ? 0 : 1][index]) != 0)
    return 1;
  return fail(std::wstring(isNode ? L"the node " : L"the edge ") +
              quoted(staging_->texts.view(member)) + L" cannot be read");
}
