// KyNewCycleTestOutputTailor: the answer of a new-cycle test.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

/// Result of a new-cycle test: whether the new edge would close a cycle.
class KYANALYSIS_EXPORT KyNewCycleTestOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyNewCycleTestOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyNewCycleTestOutputTailor() override;

  /// 1 when an edge from the source to the target node would close a
  /// cycle, else 0.
  int willCreateCycle() const;

  static KyNewCycleTestOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyNewCycleTestOutputTailor*>(const_cast<KyObject*>(object));
  }
};
