// KyShortestPathsInputTailor: the request of a shortest-paths analysis.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyEdge;
class KyNode;

/// Options of a shortest-paths analysis: the start and finish nodes, node
/// and edge costs, and whether edges are followed both ways.
class KYANALYSIS_EXPORT KyShortestPathsInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyShortestPathsInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyShortestPathsInputTailor() override;

  /// Selects the shortest-paths analysis (code 10) as the request's operation.
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
  /// The node the path starts from; null until set.
  KyNode* pStartNode() const;
  KyNode* pStartNode(KyNode* node);
  /// The node the path ends at; null until set.
  KyNode* pFinishNode() const;
  KyNode* pFinishNode(KyNode* node);

  static KyShortestPathsInputTailor* castDown(const KyObject* object) {
    return static_cast<KyShortestPathsInputTailor*>(const_cast<KyObject*>(object));
  }
};
