// KyAcyclicTestInputTailor: the request of an acyclic test.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

/// An acyclic test takes no options: the tailor only selects it.
class KYANALYSIS_EXPORT KyAcyclicTestInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyAcyclicTestInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyAcyclicTestInputTailor() override;

  /// Selects the acyclic test (code 12) as the request's operation.
  void setAsCurrentOperation();

  static KyAcyclicTestInputTailor* castDown(const KyObject* object) {
    return static_cast<KyAcyclicTestInputTailor*>(const_cast<KyObject*>(object));
  }
};
