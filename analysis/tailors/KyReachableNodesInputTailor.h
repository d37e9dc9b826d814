// KyReachableNodesInputTailor: the request of a reachable-nodes analysis.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyEdge;
class KyNode;

/// Options of a reachable-nodes analysis: the start node, node and edge
/// costs, whether edges are followed both ways, and how far to search. The
/// search limit is kept as two options, a range and a level; range() reads
/// them together.
class KYANALYSIS_EXPORT KyReachableNodesInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyReachableNodesInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyReachableNodesInputTailor() override;

  /// Selects the reachable-nodes analysis (code 9) as the request's operation.
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
  /// The node the search starts from; null until set.
  KyNode* pStartNode() const;
  KyNode* pStartNode(KyNode* node);
  /// How far to search, -1 for no limit: the stored range when there is
  /// one; otherwise the stored level, a level of 0 meaning -1; otherwise -1.
  int range() const;
  /// Stores the range only; the level is left as it is.
  int range(int range);
  /// The level option alone (default 0); it limits the search only while no
  /// range is stored.
  int level() const;
  int level(int level);

  static KyReachableNodesInputTailor* castDown(const KyObject* object) {
    return static_cast<KyReachableNodesInputTailor*>(const_cast<KyObject*>(object));
  }
};
