// KyGraphXMLWriter: writes a graph part.
#pragma once

#include <kyplatform/KyEdgeXMLWriter.h>
#include <kyplatform/KyNodeXMLWriter.h>

class KyGraph;
class KyGraphMember;

/// Writes its target graph into a graph part, in the form KyGraphXMLReader
/// reads: a "graph" element with the graph's identifier, then one "node"
/// element per node and one "edge" element per edge ("source" and "target"
/// name its ends), in the graph's order, each with its identifier and
/// handed to the node or edge writer (by default this writer's own, which
/// write the names). A null target leaves the part empty. Cost
/// O(size of the graph). Not copyable.
class KYPLATFORM_EXPORT KyGraphXMLWriter : public KyXMLWriter {
public:
  KyGraphXMLWriter();
  ~KyGraphXMLWriter() override;
  KyGraphXMLWriter(const KyGraphXMLWriter&) = delete;
  KyGraphXMLWriter& operator=(const KyGraphXMLWriter&) = delete;

  /// The target as a graph.
  KyGraph* pGraph() const;
  /// The writer of node elements. Setting one (the caller keeps it) returns
  /// it; setting null returns null and goes back to this writer's own.
  KyNodeXMLWriter* pNodeWriter() const { return nodeWriter_; }
  KyNodeXMLWriter* pNodeWriter(KyNodeXMLWriter* writer);
  /// The writer of edge elements, as for nodes.
  KyEdgeXMLWriter* pEdgeWriter() const { return edgeWriter_; }
  KyEdgeXMLWriter* pEdgeWriter(KyEdgeXMLWriter* writer);

  int populateDOMElement(xercesc::DOMElement& element) override;
  int writeElement(KyXMLStream& out) override;

  static KyGraphXMLWriter* castDown(const KyObject* object) {
    return static_cast<KyGraphXMLWriter*>(const_cast<KyObject*>(object));
  }

private:
  int writeMember(KyXMLStream& out, KyXMLWriter& writer, const KyXMLWriter* own,
                  KyGraphMember* member);

  KyNodeXMLWriter ownNodeWriter_;
  KyEdgeXMLWriter ownEdgeWriter_;
  KyNodeXMLWriter* nodeWriter_;
  KyEdgeXMLWriter* edgeWriter_;
};
