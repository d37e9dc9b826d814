// KyAnalysisOptionDescriptionManager: the 75 options of the analysis service.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>

/// Describes every option an analysis request can hold: key, owner type,
/// value type, default value and, for the operation and the two quality
/// options, the map of names to codes. Built whole by the constructor and
/// never changed after; the analysis service name makes one on first demand.
/// Not copyable.
class KYANALYSIS_EXPORT KyAnalysisOptionDescriptionManager
    : public KyServiceItemDescriptionManager {
public:
  KyAnalysisOptionDescriptionManager();
  ~KyAnalysisOptionDescriptionManager() override;

  static KyAnalysisOptionDescriptionManager* castDown(const KyObject* object) {
    return static_cast<KyAnalysisOptionDescriptionManager*>(const_cast<KyObject*>(object));
  }
};
