// KyAllPairsShortestPathsInputTailor: the request of an all-pairs shortest-paths analysis.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyEdge;
class KyNode;

/// Options of an all-pairs shortest-paths analysis: node and edge costs and
/// whether edges are followed both ways. It answers for every ordered pair
/// of nodes, so it has no start or finish node.
class KYANALYSIS_EXPORT KyAllPairsShortestPathsInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyAllPairsShortestPathsInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyAllPairsShortestPathsInputTailor() override;

  /// Selects the all-pairs shortest-paths analysis (code 11) as the request's operation.
  void setAsCurrentOperation();

  /// Whether every edge is followed both ways (default 0).
  int undirected() const;
  int undirected(int undirected);
  /// Whether this edge is followed both ways (default 0).
  int undirected(KyEdge* edge) const;
  int undirected(KyEdge* edge, int undirected);
  /// The cost of passing through this node (default 0).
  int cost(KyNode* node) const;
  int cost(KyNode* node, int cost);
  /// The cost of following this edge (default 1).
  int cost(KyEdge* edge) const;
  int cost(KyEdge* edge, int cost);

  static KyAllPairsShortestPathsInputTailor* castDown(const KyObject* object) {
    return static_cast<KyAllPairsShortestPathsInputTailor*>(const_cast<KyObject*>(object));
  }
};
