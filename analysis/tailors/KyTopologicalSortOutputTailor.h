// KyTopologicalSortOutputTailor: the answer of a topological sort.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyNode;
class KyNodeDList;

/// Results of a topological sort: each node's position, the nodes in
/// order, and whether the graph is acyclic.
class KYANALYSIS_EXPORT KyTopologicalSortOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyTopologicalSortOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyTopologicalSortOutputTailor() override;

  /// The position of `node` in the order.
  int orderNumber(KyNode* node) const;
  /// Fills `list` with the nodes in order, replacing its contents.
  void buildNodeOrderList(KyNodeDList& list) const;
  /// 1 when the graph has no cycle, else 0.
  int acyclic() const;

  static KyTopologicalSortOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyTopologicalSortOutputTailor*>(const_cast<KyObject*>(object));
  }
};
