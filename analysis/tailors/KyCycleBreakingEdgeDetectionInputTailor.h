// KyCycleBreakingEdgeDetectionInputTailor: the request of cycle-breaking edge
// detection.
#pragma once

#include <kyanalysis/KyGeneralAnalysisInputTailor.h>

/// Option of cycle-breaking edge detection: the quality level asked for.
class KYANALYSIS_EXPORT KyCycleBreakingEdgeDetectionInputTailor
    : public KyGeneralAnalysisInputTailor {
public:
  explicit KyCycleBreakingEdgeDetectionInputTailor(KyServiceInputData* inputData)
      : KyGeneralAnalysisInputTailor(inputData) {}
  ~KyCycleBreakingEdgeDetectionInputTailor() override;

  /// Selects cycle-breaking edge detection (code 14) as the request's
  /// operation.
  void setAsCurrentOperation();

  /// The effort asked of the service (default CYCLEBREAKING_QUALITY_MEDIUM).
  /// The number is stored as given, without a range check.
  KyCycleBreakingQualityEnum quality() const;
  KyCycleBreakingQualityEnum quality(KyCycleBreakingQualityEnum quality);

  static KyCycleBreakingEdgeDetectionInputTailor* castDown(const KyObject* object) {
    return static_cast<KyCycleBreakingEdgeDetectionInputTailor*>(const_cast<KyObject*>(object));
  }
};
