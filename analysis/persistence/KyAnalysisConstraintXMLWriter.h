// KyAnalysisConstraintXMLWriter: writes the content of a clustering constraint.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KyConstraintXMLWriter.h>

class KyClusteringConstraint;

/// Writes a clustering constraint into the element the constraint manager
/// writer makes for it, "clusteringConstraint", after the priority and name
/// that the base writes:
///
///   <clusteringConstraint priority="1" name="">
///     <fulfilled value="false"/>
///     <type value="differentClusters"/>
///     <nodeList><noderef value="n0"/><noderef value="n3"/></nodeList>
///   </clusteringConstraint>
///
/// Type 0 is "sameCluster", 1 "differentClusters", any other value
/// "makeCompleteCluster". Nodes are written by their identifiers in the
/// constraint's order. The analysis service name owns the instance it hands
/// out. Copies refer to the same parent and target.
class KYANALYSIS_EXPORT KyAnalysisConstraintXMLWriter : public KyConstraintXMLWriter {
public:
  KyAnalysisConstraintXMLWriter() = default;
  KyAnalysisConstraintXMLWriter(const KyAnalysisConstraintXMLWriter&) = default;
  KyAnalysisConstraintXMLWriter& operator=(const KyAnalysisConstraintXMLWriter&) = default;
  ~KyAnalysisConstraintXMLWriter() override;

  /// Writes the base attributes, "fulfilled", "type" and "nodeList". Returns
  /// 1; 0 when the target is not a clustering constraint, a node has no
  /// identifier, or (writing for a constraint manager kept for a graph) a
  /// node belongs to another graph. Cost O(number of nodes).
  int populateDOMElement(xercesc::DOMElement& element) override;
  /// "clusteringConstraint" for any constraint.
  const wchar_t* pNameForConstraint(KyConstraint* constraint) override;
  /// Writes the "type" and "nodeList" children of `constraint` into
  /// `element`. Returns 1; 0, having written nothing, when a node belongs
  /// to another graph than the one whose constraint manager this writer's
  /// parent writes, and 0 when a node has no identifier.
  int writeClusteringConstraint(const KyClusteringConstraint* constraint,
                                xercesc::DOMElement& element);

  static KyAnalysisConstraintXMLWriter* castDown(const KyObject* object) {
    return static_cast<KyAnalysisConstraintXMLWriter*>(const_cast<KyObject*>(object));
  }
};
