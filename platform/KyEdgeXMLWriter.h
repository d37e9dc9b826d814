// KyEdgeXMLWriter: writes the content of one edge element.
#pragma once

#include <kyplatform/KyXMLWriter.h>

class KyEdge;

/// Writes its target edge into an "edge" element that the graph writer has
/// made and given the edge's identifier and ends: the edge's name as the "name"
/// attribute, nothing when the edge has no name. Derive to write more.
class KYPLATFORM_EXPORT KyEdgeXMLWriter : public KyXMLWriter {
public:
  KyEdgeXMLWriter() = default;
  ~KyEdgeXMLWriter() override;

  /// The target as an edge.
  KyEdge* pEdge() const;
  int populateDOMElement(xercesc::DOMElement& element) override;

  static KyEdgeXMLWriter* castDown(const KyObject* object) {
    return static_cast<KyEdgeXMLWriter*>(const_cast<KyObject*>(object));
  }
};
