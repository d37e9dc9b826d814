// The graph part writer with its node and edge writers.
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyGraphXMLWriter.h>
#include <kyplatform/KyNode.h>

#include "KyXMLElement_p.h"
#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <vector>

using namespace xercesc;

namespace {
int writeName(DOMElement& element, const KyGraphMember* member) {
  if (member == nullptr)
    return 0;
  if (const wchar_t* name = member->pName())
    element.setAttribute(u"name", KyXMLText::toXML(name).c_str());
  return 1;
}
} // namespace

KyNodeXMLWriter::~KyNodeXMLWriter() = default;

KyNode* KyNodeXMLWriter::pNode() const { return dynamic_cast<KyNode*>(pTarget()); }

int KyNodeXMLWriter::populateDOMElement(DOMElement& element) {
  return writeName(element, pNode()) != 0 ? 1 : fail(L"no node to write");
}

KyEdgeXMLWriter::~KyEdgeXMLWriter() = default;

KyEdge* KyEdgeXMLWriter::pEdge() const { return dynamic_cast<KyEdge*>(pTarget()); }

int KyEdgeXMLWriter::populateDOMElement(DOMElement& element) {
  return writeName(element, pEdge()) != 0 ? 1 : fail(L"no edge to write");
}

KyGraphXMLWriter::KyGraphXMLWriter() : nodeWriter_(&ownNodeWriter_), edgeWriter_(&ownEdgeWriter_) {}

KyGraphXMLWriter::~KyGraphXMLWriter() = default;

KyGraph* KyGraphXMLWriter::pGraph() const { return dynamic_cast<KyGraph*>(pTarget()); }

KyNodeXMLWriter* KyGraphXMLWriter::pNodeWriter(KyNodeXMLWriter* writer) {
  nodeWriter_ = writer != nullptr ? writer : &ownNodeWriter_;
  return writer;
}

KyEdgeXMLWriter* KyGraphXMLWriter::pEdgeWriter(KyEdgeXMLWriter* writer) {
  edgeWriter_ = writer != nullptr ? writer : &ownEdgeWriter_;
  return writer;
}

int KyGraphXMLWriter::populateDOMElement(DOMElement& element) {
  const KyGraph* graph = pGraph();
  if (graph == nullptr)
    return pTarget() == nullptr ? 1 : fail(L"the object to write is not a graph");
  if (pID(graph) == nullptr)
    return fail(L"a graph is written only within a document");
  DOMElement* graphElement = kyAppendElement(u"graph", element);
  graphElement->setAttribute(u"id", KyXMLText::toXML(pID(graph)).c_str());
  // Node identifiers by position, for the ends of the edges.
  std::vector<KyXMLString> nodeIDs;
  nodeIDs.reserve(static_cast<std::size_t>(graph->numberOfNodes()));
  for (KyNodeDListIter it(graph->pNodeList()); it; ++it) {
    DOMElement* nodeElement = kyAppendElement(u"node", *graphElement);
    nodeIDs.push_back(KyXMLText::toXML(pID(it.pNode())));
    nodeElement->setAttribute(u"id", nodeIDs.back().c_str());
    KyHandlerScope<KyXMLWriter> scope(*nodeWriter_, this, it.pNode());
    if (nodeWriter_->populateDOMElement(*nodeElement) == 0)
      return 0;
  }
  for (KyEdgeDListIter it(graph->pEdgeList()); it; ++it) {
    const KyEdge* edge = it.pEdge();
    DOMElement* edgeElement = kyAppendElement(u"edge", *graphElement);
    edgeElement->setAttribute(u"id", KyXMLText::toXML(pID(edge)).c_str());
    edgeElement->setAttribute(u"source", nodeIDs[edge->pSourceNode()->index()].c_str());
    edgeElement->setAttribute(u"target", nodeIDs[edge->pTargetNode()->index()].c_str());
    KyHandlerScope<KyXMLWriter> scope(*edgeWriter_, this, it.pEdge());
    if (edgeWriter_->populateDOMElement(*edgeElement) == 0)
      return 0;
  }
  return 1;
}
