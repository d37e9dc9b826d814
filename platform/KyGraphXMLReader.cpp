// The graph part reader with its node and edge readers.
#include <kyanalysis/KyEdge.h>
#include <kyanalysis/KyGraph.h>
#include <kyanalysis/KyGraphXMLReader.h>
#include <kyanalysis/KyNode.h>
#include <kyanalysis/KyObjectTable.h>

#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <xercesc/dom/DOMAttr.hpp>

#include <string_view>
#include <unordered_map>
#include <vector>

using namespace xercesc;

namespace {
std::wstring quoted(const XMLCh* text) { return KyXMLText::quote(KyXMLText::toWide(text)); }

// Reads the optional "name" attribute into `member`.
int readName(const DOMElement& element, KyGraphMember* member) {
  if (member == nullptr)
    return 0;
  if (const DOMAttr* name = element.getAttributeNode(u"name"))
    member->pName(KyXMLText::toWide(name->getValue()).c_str());
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

  // Check everything before the graph changes.
  std::unordered_map<std::u16string_view, int> ids; // node position, or -1
  std::vector<const DOMElement*> nodes;
  std::vector<const DOMElement*> edges;
  ids.reserve(graphElement->getChildElementCount() + 1);
  std::wstring wide; // reused for every identifier
  auto identify = [&](const DOMElement& member, int position) {
    const XMLCh* id = member.getAttribute(u"id");
    KyXMLText::toWide(id, wide);
    if (!KyObjectTable::validID(wide.c_str()))
      return fail(L"the " + KyXMLText::toWide(member.getTagName()) + L" identifier " + quoted(id) +
                  L" is missing or invalid");
    if (!ids.emplace(id, position).second)
      return fail(L"the identifier " + quoted(id) + L" is used twice");
    return 1;
  };
  if (identify(*graphElement, -1) == 0)
    return 0;
  for (const DOMElement* child = graphElement->getFirstElementChild(); child != nullptr;
       child = child->getNextElementSibling()) {
    const std::u16string_view tag = child->getTagName();
    if (tag == u"node") {
      if (identify(*child, static_cast<int>(nodes.size())) == 0)
        return 0;
      nodes.push_back(child);
    } else if (tag == u"edge") {
      if (identify(*child, -1) == 0)
        return 0;
      edges.push_back(child);
    } else {
      return fail(L"the graph holds an element " + quoted(child->getTagName()) +
                  L" that is neither a node nor an edge");
    }
  }
  std::vector<std::pair<int, int>> ends;
  ends.reserve(edges.size());
  for (const DOMElement* edge : edges) {
    int end[2];
    const XMLCh* const names[2] = {u"source", u"target"};
    for (int i = 0; i < 2; ++i) {
      const XMLCh* id = edge->getAttribute(names[i]);
      const auto found = ids.find(id);
      if (found == ids.end() || found->second < 0)
        return fail(L"the edge " + quoted(edge->getAttribute(u"id")) + L" has the " +
                    KyXMLText::toWide(names[i]) + L" " + quoted(id) +
                    L", which is not a node of the graph");
      end[i] = found->second;
    }
    ends.emplace_back(end[0], end[1]);
  }

  setID(KyXMLText::toWide(graphElement->getAttribute(u"id")).c_str(), graph);
  std::vector<KyNode*> made;
  made.reserve(nodes.size());
  for (const DOMElement* nodeElement : nodes) {
    KyNode* node = graph->addNode();
    made.push_back(node);
    KyXMLText::toWide(nodeElement->getAttribute(u"id"), wide);
    setID(wide.c_str(), node);
    KyHandlerScope<KyXMLReader> scope(*nodeReader_, this, node);
    if (nodeReader_->processDOMElement(*nodeElement) == 0)
      return fail(L"the node " + quoted(nodeElement->getAttribute(u"id")) + L" cannot be read");
  }
  for (std::size_t i = 0; i < edges.size(); ++i) {
    KyEdge* edge = graph->addEdge(made[ends[i].first], made[ends[i].second]);
    KyXMLText::toWide(edges[i]->getAttribute(u"id"), wide);
    setID(wide.c_str(), edge);
    KyHandlerScope<KyXMLReader> scope(*edgeReader_, this, edge);
    if (edgeReader_->processDOMElement(*edges[i]) == 0)
      return fail(L"the edge " + quoted(edges[i]->getAttribute(u"id")) + L" cannot be read");
  }
  return 1;
}
