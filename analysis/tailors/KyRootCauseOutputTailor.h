// KyRootCauseOutputTailor: the answer of a root-cause analysis.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyNode;
class KyNodeDList;

/// Results of a root-cause analysis: the cause nodes found and, for each
/// node, the nodes it reached.
class KYANALYSIS_EXPORT KyRootCauseOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyRootCauseOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyRootCauseOutputTailor() override;

  /// Fills `list` with the cause nodes, replacing its contents.
  void buildCauseNodeList(KyNodeDList& list) const;
  /// Fills `list` with the nodes that `node` reached, replacing its contents.
  void buildReachedNodeList(KyNode* node, KyNodeDList& list) const;

  static KyRootCauseOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyRootCauseOutputTailor*>(const_cast<KyObject*>(object));
  }
};
