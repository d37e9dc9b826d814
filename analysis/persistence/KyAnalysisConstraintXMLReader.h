// KyAnalysisConstraintXMLReader: reads the content of a clustering constraint.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KyConstraintXMLReader.h>

class KyClusteringConstraint;

/// Reads a constraint element, whatever its name, into a new
/// KyClusteringConstraint, as KyAnalysisConstraintXMLWriter writes it.
///
/// Lenient on content, so that a constraint never fails the request over a
/// detail: a missing "fulfilled" reads as not fulfilled; a missing or
/// unknown "type" (names are matched in full, case-sensitively) leaves type
/// 0; a missing "nodeList" gives no nodes; inside "nodeList" only "noderef"
/// elements count, in document order, and one whose "value" names no node
/// of the read (nothing, or an edge or graph) is skipped. Whoever runs
/// processDOMElement() owns the constraint it leaves as target. The
/// analysis service name owns the instance it hands out. Copies refer to
/// the same parent and target.
class KYANALYSIS_EXPORT KyAnalysisConstraintXMLReader : public KyConstraintXMLReader {
public:
  KyAnalysisConstraintXMLReader() = default;
  KyAnalysisConstraintXMLReader(const KyAnalysisConstraintXMLReader&) = default;
  KyAnalysisConstraintXMLReader& operator=(const KyAnalysisConstraintXMLReader&) = default;
  ~KyAnalysisConstraintXMLReader() override;

  /// Makes the constraint, reads the base attributes, then the fulfilled
  /// flag, the nodes and the type. Returns 1; 0 only when the base fails
  /// (a priority that is not a whole number). Cost O(size of the element).
  int processDOMElement(const xercesc::DOMElement& element) override;
  /// A new KyClusteringConstraint for any name; the caller takes it.
  KyConstraint* pCreateConstraint(const wchar_t* name) override;
  /// Adds the nodes of the "nodeList" child of `element` to `constraint`
  /// and sets its type from the "type" child.
  void readClusteringConstraint(KyClusteringConstraint* constraint,
                                const xercesc::DOMElement& element);

  static KyAnalysisConstraintXMLReader* castDown(const KyObject* object) {
    return static_cast<KyAnalysisConstraintXMLReader*>(const_cast<KyObject*>(object));
  }
};
