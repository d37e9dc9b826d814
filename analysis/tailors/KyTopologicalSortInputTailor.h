// KyTopologicalSortInputTailor: the request of a topological sort.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

/// A topological sort takes no options: the tailor only selects it.
class KYANALYSIS_EXPORT KyTopologicalSortInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyTopologicalSortInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyTopologicalSortInputTailor() override;

  /// Selects topological sort (code 2) as the request's operation.
  void setAsCurrentOperation();

  static KyTopologicalSortInputTailor* castDown(const KyObject* object) {
    return static_cast<KyTopologicalSortInputTailor*>(const_cast<KyObject*>(object));
  }
};
