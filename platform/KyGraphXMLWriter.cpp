// The graph part writer with its node and edge writers.
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyGraphXMLWriter.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyXMLStream.h>

#include "KyXMLScope_p.h"
#include "KyXMLText_p.h"

#include <string_view>
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
  KyXMLStream out(element);
  return writeElement(out);
}

int KyGraphXMLWriter::writeElement(KyXMLStream& out) {
  const KyGraph* graph = pGraph();
  if (graph == nullptr)
    return pTarget() == nullptr ? 1 : fail(L"the object to write is not a graph");
  const wchar_t* graphID = pID(graph);
  if (graphID == nullptr)
    return fail(L"a graph is written only within a document");
  out.start(u"graph");
  out.attribute(u"id", graphID);
  // Members by position, which is the order of the graph's lists, without
  // making those lists. Node identifiers by position, for the ends of the
  // edges; they stay valid for the whole write.
  const int nodes = graph->numberOfNodes();
  std::vector<std::wstring_view> nodeIDs(static_cast<std::size_t>(nodes));
  for (int i = 0; i < nodes; ++i) {
    KyNode* node = graph->pNodeAt(i);
    out.start(u"node");
    nodeIDs[i] = pID(node);
    out.attribute(u"id", nodeIDs[i]);
    if (writeMember(out, *nodeWriter_, &ownNodeWriter_, node) == 0)
      return 0;
    out.end();
  }
  // An edge's ends are anywhere among the nodes: the identifiers of the
  // ends of the edges some steps ahead are fetched before they are needed,
  // in two stages, as where they lie is known only once their views are in.
  constexpr int kAhead = 16;
  for (int i = 0, edges = graph->numberOfEdges(); i < edges; ++i) {
    if (i + 2 * kAhead < edges) {
      const KyGraph::EdgeLinks& later = graph->edgeLinks(i + 2 * kAhead);
      __builtin_prefetch(&nodeIDs[static_cast<std::size_t>(later.source)]);
      __builtin_prefetch(&nodeIDs[static_cast<std::size_t>(later.target)]);
    }
    if (i + kAhead < edges) {
      const KyGraph::EdgeLinks& later = graph->edgeLinks(i + kAhead);
      __builtin_prefetch(nodeIDs[static_cast<std::size_t>(later.source)].data());
      __builtin_prefetch(nodeIDs[static_cast<std::size_t>(later.target)].data());
    }
    const KyGraph::EdgeLinks& ends = graph->edgeLinks(i);
    KyEdge* edge = graph->pEdgeAt(i);
    out.start(u"edge");
    out.attribute(u"id", pID(edge));
    out.attribute(u"source", nodeIDs[static_cast<std::size_t>(ends.source)]);
    out.attribute(u"target", nodeIDs[static_cast<std::size_t>(ends.target)]);
    if (writeMember(out, *edgeWriter_, &ownEdgeWriter_, edge) == 0)
      return 0;
    out.end();
  }
  out.end();
  return 1;
}

int KyGraphXMLWriter::writeMember(KyXMLStream& out, KyXMLWriter& writer, const KyXMLWriter* own,
                                  KyGraphMember* member) {
  // This writer's own node and edge writers write the name; any other is
  // handed the member's element as a writer of the platform.
  if (&writer == own) {
    if (const wchar_t* name = member->pName())
      out.attribute(u"name", name);
    return 1;
  }
  KyHandlerScope<KyXMLWriter> scope(writer, this, member);
  return writer.writeElement(out);
}
