// KyRootCauseInputTailor: the request of a root-cause analysis.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyEdge;
class KyNode;
class KyNodeDList;

/// Options of a root-cause analysis: the effect nodes, node weights and the
/// threshold they must reach, node and edge costs, the search range, and
/// whether edges are followed both ways.
class KYANALYSIS_EXPORT KyRootCauseInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyRootCauseInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyRootCauseInputTailor() override;

  /// Selects the root-cause analysis (code 22) as the request's operation.
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
  /// The nodes whose causes are sought; null until set. The list is the
  /// caller's: it is stored, not copied, and must outlive the request.
  KyNodeDList* pEffectNodeList() const;
  KyNodeDList* pEffectNodeList(KyNodeDList* list);
  /// How far to search, -1 for no limit (default -1).
  int range() const;
  int range(int range);
  /// The weight a cause must gather (default 1.0).
  double threshold() const;
  double threshold(double threshold);
  /// The weight of this node (default 1).
  int weight(KyNode* node) const;
  int weight(KyNode* node, int weight);

  static KyRootCauseInputTailor* castDown(const KyObject* object) {
    return static_cast<KyRootCauseInputTailor*>(const_cast<KyObject*>(object));
  }
};
