// KyMinimumSpanningTreeInputTailor: the request of a minimum spanning tree.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyEdge;

/// Option of a minimum spanning tree: the cost of each edge.
class KYANALYSIS_EXPORT KyMinimumSpanningTreeInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyMinimumSpanningTreeInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyMinimumSpanningTreeInputTailor() override;

  /// Selects minimum spanning tree (code 16) as the request's operation.
  void setAsCurrentOperation();

  /// The cost of taking `edge` into the tree (default 1).
  int cost(KyEdge* edge) const;
  int cost(KyEdge* edge, int cost);

  static KyMinimumSpanningTreeInputTailor* castDown(const KyObject* object) {
    return static_cast<KyMinimumSpanningTreeInputTailor*>(const_cast<KyObject*>(object));
  }
};
