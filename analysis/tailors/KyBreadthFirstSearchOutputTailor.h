// KyBreadthFirstSearchOutputTailor: the answer of a breadth-first search.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyNode;
class KyNodeDList;

/// Results of a breadth-first search: each node's order number and the
/// nodes in the order visited.
class KYANALYSIS_EXPORT KyBreadthFirstSearchOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyBreadthFirstSearchOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyBreadthFirstSearchOutputTailor() override;

  /// The position at which `node` was visited.
  int orderNumber(KyNode* node) const;
  /// Fills `list` with the visited nodes in order, replacing its contents.
  void buildNodeOrderList(KyNodeDList& list) const;

  static KyBreadthFirstSearchOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyBreadthFirstSearchOutputTailor*>(const_cast<KyObject*>(object));
  }
};
