// KyNodeXMLReader: reads the content of one node element.
#pragma once

#include <kyplatform/KyXMLReader.h>

class KyNode;

/// Reads a "node" element into its target node, which the graph reader has
/// made and registered under the element's identifier: the node's name
/// from the "name" attribute, no name when there is none. Derive to read
/// more from the element.
class KYPLATFORM_EXPORT KyNodeXMLReader : public KyXMLReader {
public:
  KyNodeXMLReader() = default;
  ~KyNodeXMLReader() override;

  /// The target as a node.
  KyNode* pNode() const;
  int processDOMElement(const xercesc::DOMElement& element) override;

  static KyNodeXMLReader* castDown(const KyObject* object) {
    return static_cast<KyNodeXMLReader*>(const_cast<KyObject*>(object));
  }
};
