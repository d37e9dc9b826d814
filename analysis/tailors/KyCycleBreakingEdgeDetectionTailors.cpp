#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyCycleBreakingEdgeDetectionInputTailor.h>
#include <kyanalysis/KyCycleBreakingEdgeDetectionOutputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>

namespace key = KyAnalysisKey::cycleBreakingEdgeDetection;

KyCycleBreakingEdgeDetectionInputTailor::~KyCycleBreakingEdgeDetectionInputTailor() = default;

void KyCycleBreakingEdgeDetectionInputTailor::setAsCurrentOperation() {
  selectOperation(OPERATION_CYCLE_BREAKING_EDGE_DETECTION);
}
KyCycleBreakingQualityEnum KyCycleBreakingEdgeDetectionInputTailor::quality() const {
  return static_cast<KyCycleBreakingQualityEnum>(graphOption(key::graphQuality));
}
KyCycleBreakingQualityEnum
KyCycleBreakingEdgeDetectionInputTailor::quality(KyCycleBreakingQualityEnum quality) {
  return static_cast<KyCycleBreakingQualityEnum>(graphOption(key::graphQuality, quality));
}

KyCycleBreakingEdgeDetectionOutputTailor::~KyCycleBreakingEdgeDetectionOutputTailor() = default;

void KyCycleBreakingEdgeDetectionOutputTailor::buildEdgeList(KyEdgeDList& list) const {
  buildList(nullptr, key::noneEdgeList, list);
}
void KyCycleBreakingEdgeDetectionOutputTailor::buildReflexiveEdgeList(KyEdgeDList& list) const {
  buildList(nullptr, key::noneReflexiveEdgeList, list);
}
int KyCycleBreakingEdgeDetectionOutputTailor::backwardEdge(KyEdge* edge) const {
  return memberResult(edge, key::edgeBackward);
}
