// KyConnectedComponentsInputTailor: the request of connected components.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

/// Connected components take no options: the tailor only selects them.
class KYANALYSIS_EXPORT KyConnectedComponentsInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyConnectedComponentsInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyConnectedComponentsInputTailor() override;

  /// Selects connected components (code 3) as the request's operation.
  void setAsCurrentOperation();

  static KyConnectedComponentsInputTailor* castDown(const KyObject* object) {
    return static_cast<KyConnectedComponentsInputTailor*>(const_cast<KyObject*>(object));
  }
};
