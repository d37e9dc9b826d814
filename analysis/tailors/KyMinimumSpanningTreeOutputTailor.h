// KyMinimumSpanningTreeOutputTailor: the answer of a minimum spanning tree.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyEdge;
class KyEdgeDList;

/// Results of a minimum spanning tree: its cost, its edges, and a per-edge
/// flag.
class KYANALYSIS_EXPORT KyMinimumSpanningTreeOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyMinimumSpanningTreeOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyMinimumSpanningTreeOutputTailor() override;

  /// The summed cost of the tree's edges.
  int totalCost() const;
  /// Fills `list` with the tree's edges, replacing its contents.
  void buildTreeEdgeList(KyEdgeDList& list) const;
  /// 1 when `edge` belongs to the tree, else 0.
  int treeEdge(KyEdge* edge) const;

  static KyMinimumSpanningTreeOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyMinimumSpanningTreeOutputTailor*>(const_cast<KyObject*>(object));
  }
};
