// KyGraphXMLReader: reads a graph part.
#pragma once

#include <kyplatform/KyEdgeXMLReader.h>
#include <kyplatform/KyNodeXMLReader.h>

#include <memory>

class KyGraph;
class KyGraphMember;

/// Reads a graph part into its target graph:
///
///   <graph id="g0">
///     <node id="n0" name="A"/> <node id="n1"/>
///     <edge id="e0" source="n0" target="n1"/>
///   </graph>
///
/// The nodes and edges are added to the target graph in document order, the
/// graph, node and edge identifiers registered with the read, and each
/// node and edge element handed to the node or edge reader (by default
/// this reader's own, which read the names). A part without a "graph"
/// element adds nothing.
///
/// The part is read as a stream and checked whole before the graph changes:
/// the read fails, leaving the graph untouched, when the part holds anything but one
/// "graph" element, the graph element anything but nodes and edges, an
/// identifier is missing, invalid or used twice in the part, an edge names
/// an end that is not a node of the part, or there is no target graph. The
/// members are added at the end of the graph element, so that later parts
/// find them, and taken back again when the read fails after all, in this
/// part (a node or edge reader that fails; the platform's own never do) or
/// in a later one: a failed read leaves the graph as it was. A node or edge
/// reader other than this reader's own is handed each element as a DOM
/// element. Cost O(size of the part); what is kept until the end of the
/// graph element is its identifiers, names and edge ends, never a DOM of
/// it. Not copyable.
class KYPLATFORM_EXPORT KyGraphXMLReader : public KyXMLReader {
public:
  KyGraphXMLReader();
  ~KyGraphXMLReader() override;
  KyGraphXMLReader(const KyGraphXMLReader&) = delete;
  KyGraphXMLReader& operator=(const KyGraphXMLReader&) = delete;

  /// The target as a graph.
  KyGraph* pGraph() const;
  /// The reader of node elements. Setting one (the caller keeps it) returns
  /// it; setting null returns null and goes back to this reader's own.
  KyNodeXMLReader* pNodeReader() const { return nodeReader_; }
  KyNodeXMLReader* pNodeReader(KyNodeXMLReader* reader);
  /// The reader of edge elements, as for nodes.
  KyEdgeXMLReader* pEdgeReader() const { return edgeReader_; }
  KyEdgeXMLReader* pEdgeReader(KyEdgeXMLReader* reader);

  int processDOMElement(const xercesc::DOMElement& element) override;
  /// The part as a stream; the graph changes at the end of the graph
  /// element, once it was all read and found sound, and finishRead() with 0
  /// takes the members added back.
  int readsStream() const override;
  int startElement(const KyXMLStartTag& tag, int depth) override;
  int endElement(int depth) override;
  int finishRead(int complete) override;

  static KyGraphXMLReader* castDown(const KyObject* object) {
    return static_cast<KyGraphXMLReader*>(const_cast<KyObject*>(object));
  }

private:
  struct Staging;

  int identify(const KyXMLStartTag& tag, int position);
  int addMembers();
  int readMember(KyXMLReader& reader, std::size_t index, bool isNode, KyGraphMember* made);

  KyNodeXMLReader ownNodeReader_;
  KyEdgeXMLReader ownEdgeReader_;
  KyNodeXMLReader* nodeReader_;
  KyEdgeXMLReader* edgeReader_;
  std::unique_ptr<Staging> staging_; // of the graph element being read
};
