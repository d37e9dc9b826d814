// KyReachableNodesOutputTailor: the answer of a reachable-nodes analysis.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyNodeDList;

/// Results of a reachable-nodes analysis: the nodes reached from the start
/// node.
class KYANALYSIS_EXPORT KyReachableNodesOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyReachableNodesOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyReachableNodesOutputTailor() override;

  /// Fills `list` with the nodes reached, replacing its contents.
  void buildReachableNodeList(KyNodeDList& list) const;

  static KyReachableNodesOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyReachableNodesOutputTailor*>(const_cast<KyObject*>(object));
  }
};
