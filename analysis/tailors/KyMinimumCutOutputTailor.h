// KyMinimumCutOutputTailor: the answer of a minimum cut.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyEdgeDList;

/// Results of a minimum cut: its cost and the edges cut.
class KYANALYSIS_EXPORT KyMinimumCutOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyMinimumCutOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyMinimumCutOutputTailor() override;

  /// The summed cost of the edges cut.
  int totalCost() const;
  /// Fills `list` with the edges cut, replacing its contents.
  void buildEdgeList(KyEdgeDList& list) const;

  static KyMinimumCutOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyMinimumCutOutputTailor*>(const_cast<KyObject*>(object));
  }
};
