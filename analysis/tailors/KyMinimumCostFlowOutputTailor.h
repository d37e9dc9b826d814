// KyMinimumCostFlowOutputTailor: the answer of a minimum-cost flow.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyEdge;

/// Results of a minimum-cost flow: the flow along each edge, the total flow
/// and its cost.
class KYANALYSIS_EXPORT KyMinimumCostFlowOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyMinimumCostFlowOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyMinimumCostFlowOutputTailor() override;

  /// The amount flowing along `edge`.
  int flow(KyEdge* edge) const;
  /// The amount flowing from the source to the sink.
  int totalFlow() const;
  /// The cost of the whole flow.
  int totalCost() const;

  static KyMinimumCostFlowOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyMinimumCostFlowOutputTailor*>(const_cast<KyObject*>(object));
  }
};
