// KySortedPathsInputTailor: the request of a sorted-paths analysis.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyEdge;
class KyNode;

/// Options of a sorted-paths analysis, which asks for the paths from the
/// start node to the finish node in order of increasing cost: the two nodes
/// and the node and edge costs. Edges are followed from source to target.
class KYANALYSIS_EXPORT KySortedPathsInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KySortedPathsInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KySortedPathsInputTailor() override;

  /// Selects the sorted-paths analysis (code 21) as the request's operation.
  void setAsCurrentOperation();

  /// The node every path starts from; null until set.
  KyNode* pStartNode() const;
  KyNode* pStartNode(KyNode* node);
  /// The node every path ends at; null until set.
  KyNode* pFinishNode() const;
  KyNode* pFinishNode(KyNode* node);
  /// The cost of passing through this node (default 0).
  int cost(KyNode* node) const;
  int cost(KyNode* node, int cost);
  /// The cost of following this edge (default 1).
  int cost(KyEdge* edge) const;
  int cost(KyEdge* edge, int cost);

  static KySortedPathsInputTailor* castDown(const KyObject* object) {
    return static_cast<KySortedPathsInputTailor*>(const_cast<KyObject*>(object));
  }
};
