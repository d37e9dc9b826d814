// KyNewCycleTestInputTailor: the request of a new-cycle test.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

class KyNode;

/// Options of a new-cycle test: the source and target nodes of the edge
/// that would be added.
class KYANALYSIS_EXPORT KyNewCycleTestInputTailor : public KyGeneralAnalysisInputTailor {
public:
  explicit KyNewCycleTestInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyNewCycleTestInputTailor() override;

  /// Selects the new-cycle test (code 13) as the request's operation.
  void setAsCurrentOperation();

  /// The node the new edge would leave; null until set.
  KyNode* pSourceNode() const;
  KyNode* pSourceNode(KyNode* node);
  /// The node the new edge would enter; null until set.
  KyNode* pTargetNode() const;
  KyNode* pTargetNode(KyNode* node);

  static KyNewCycleTestInputTailor* castDown(const KyObject* object) {
    return static_cast<KyNewCycleTestInputTailor*>(const_cast<KyObject*>(object));
  }
};
