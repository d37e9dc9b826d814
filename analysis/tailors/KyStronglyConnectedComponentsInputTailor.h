// KyStronglyConnectedComponentsInputTailor: the request of strongly connected
// components.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

/// Strongly connected components take no options: the tailor only selects
/// them.
class KYANALYSIS_EXPORT KyStronglyConnectedComponentsInputTailor
    : public KyGeneralAnalysisInputTailor {
public:
  explicit KyStronglyConnectedComponentsInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyStronglyConnectedComponentsInputTailor() override;

  /// Selects strongly connected components (code 5) as the request's
  /// operation.
  void setAsCurrentOperation();

  static KyStronglyConnectedComponentsInputTailor* castDown(const KyObject* object) {
    return static_cast<KyStronglyConnectedComponentsInputTailor*>(const_cast<KyObject*>(object));
  }
};
