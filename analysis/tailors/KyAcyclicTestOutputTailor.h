// KyAcyclicTestOutputTailor: the answer of an acyclic test.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

/// Result of an acyclic test: whether the graph has no cycle.
class KYANALYSIS_EXPORT KyAcyclicTestOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyAcyclicTestOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyAcyclicTestOutputTailor() override;

  /// 1 when the graph has no cycle, else 0.
  int acyclic() const;

  static KyAcyclicTestOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyAcyclicTestOutputTailor*>(const_cast<KyObject*>(object));
  }
};
