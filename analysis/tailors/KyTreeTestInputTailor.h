// KyTreeTestInputTailor: the request of a tree test.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

/// Option of a tree test: whether edge directions count.
class KYANALYSIS_EXPORT KyTreeTestInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyTreeTestInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyTreeTestInputTailor() override;

  /// Selects the tree test (code 15) as the request's operation.
  void setAsCurrentOperation();

  /// Whether edge directions count in the test (default 0: they do not).
  int directed() const;
  int directed(int directed);

  static KyTreeTestInputTailor* castDown(const KyObject* object) {
    return static_cast<KyTreeTestInputTailor*>(const_cast<KyObject*>(object));
  }
};
