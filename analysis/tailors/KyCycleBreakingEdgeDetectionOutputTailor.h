// KyCycleBreakingEdgeDetectionOutputTailor: the answer of cycle-breaking edge
// detection.
#pragma once

#include <kyanalysis/KyBaseAnalysisOutputTailor.h>

class KyEdge;
class KyEdgeDList;

/// Results of cycle-breaking edge detection: the edges whose removal
/// breaks every cycle, the self-loops, and a per-edge backward flag.
class KYANALYSIS_EXPORT KyCycleBreakingEdgeDetectionOutputTailor
    : public KyBaseAnalysisOutputTailor {
public:
  explicit KyCycleBreakingEdgeDetectionOutputTailor(KyServiceOutputData* outputData)
      : KyBaseAnalysisOutputTailor(outputData) {}
  ~KyCycleBreakingEdgeDetectionOutputTailor() override;

  /// Fills `list` with the cycle-breaking edges, replacing its contents.
  void buildEdgeList(KyEdgeDList& list) const;
  /// Fills `list` with the reflexive edges (self-loops), replacing its
  /// contents.
  void buildReflexiveEdgeList(KyEdgeDList& list) const;
  /// 1 when `edge` is a backward edge, else 0.
  int backwardEdge(KyEdge* edge) const;

  static KyCycleBreakingEdgeDetectionOutputTailor* castDown(const KyObject* object) {
    return static_cast<KyCycleBreakingEdgeDetectionOutputTailor*>(const_cast<KyObject*>(object));
  }
};
