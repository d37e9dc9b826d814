// KyMaximumFlowOutputTailor: the answer of a maximum flow.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyEdge;

/// Results of a maximum flow: the flow along each edge and in total.
class KYANALYSIS_EXPORT KyMaximumFlowOutputTailor : public KyBaseAnalysisOutputTailor {
public:
  explicit KyMaximumFlowOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyMaximumFlowOutputTailor() override;

  /// The amount flowing along `edge`.
  int flow(KyEdge* edge) const;
  /// The amount flowing from the source to the sink.
  int totalFlow() const;

  static KyMaximumFlowOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyMaximumFlowOutputTailor*>(const_cast<KyObject*>(object));
  }
};
