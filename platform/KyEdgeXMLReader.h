// KyEdgeXMLReader: reads the content of one edge element.
#pragma once

#include <kyplatform/KyXMLReader.h>

class KyEdge;

/// Reads an "edge" element into its target edge, which the graph reader has
/// made and registered under the element's identifier: the edge's name
/// from the "name" attribute, no name when there is none. Derive to read
/// more from the element.
class KYPLATFORM_EXPORT KyEdgeXMLReader : public KyXMLReader {
public:
  KyEdgeXMLReader() = default;
  ~KyEdgeXMLReader() override;

  /// The target as an edge.
  KyEdge* pEdge() const;
  int processDOMElement(const xercesc::DOMElement& element) override;

  static KyEdgeXMLReader* castDown(const KyObject* object) {
    return static_cast<KyEdgeXMLReader*>(const_cast<KyObject*>(object));
  }
};
