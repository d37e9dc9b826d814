// KyNodeXMLWriter: writes the content of one node element.
#pragma once

#include <kyplatform/KyXMLWriter.h>

class KyNode;

/// Writes its target node into a "node" element that the graph writer has
/// made and given the node's identifier: the node's name as the "name"
/// attribute, nothing when the node has no name. Derive to write more.
class KYPLATFORM_EXPORT KyNodeXMLWriter : public KyXMLWriter {
public:
  KyNodeXMLWriter() = default;
  ~KyNodeXMLWriter() override;

  /// The target as a node.
  KyNode* pNode() const;
  int populateDOMElement(xercesc::DOMElement& element) override;

  static KyNodeXMLWriter* castDown(const KyObject* object) {
    return static_cast<KyNodeXMLWriter*>(const_cast<KyObject*>(object));
  }
};
