// KyBiconnectedComponentsInputTailor: the request of biconnected components.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

/// Biconnected components take no options: the tailor only selects them.
class KYANALYSIS_EXPORT KyBiconnectedComponentsInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyBiconnectedComponentsInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyBiconnectedComponentsInputTailor() override;

  /// Selects biconnected components (code 4) as the request's operation.
  void setAsCurrentOperation();

  static KyBiconnectedComponentsInputTailor* castDown(const KyObject* object) {
    return static_cast<KyBiconnectedComponentsInputTailor*>(const_cast<KyObject*>(object));
  }
};
