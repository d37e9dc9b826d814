// KyAnalysisResultDescriptionManager: the 65 results of the analysis service.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>

/// Describes every result an answer can hold: key, owner type and value
/// type. The two per-pair results of all-pairs shortest paths have the owner
/// type "KyPair". Built whole by the constructor and never changed after;
/// the analysis service name makes one on first demand. Not copyable.
class KYANALYSIS_EXPORT KyAnalysisResultDescriptionManager
    : public KyServiceItemDescriptionManager {
public:
  KyAnalysisResultDescriptionManager();
  ~KyAnalysisResultDescriptionManager() override;

  static KyAnalysisResultDescriptionManager* castDown(const KyObject* object) {
    return static_cast<KyAnalysisResultDescriptionManager*>(const_cast<KyObject*>(object));
  }
};
