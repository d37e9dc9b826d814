// KyAnalysisOptionDescriptionManager: the 75 options of the analysis service.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>
#include <kyplatform/KyServiceItemDescriptionManager.h>

class KyServiceInputData;

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

  /// The descriptions as built, made once for the process and never
  /// changed: safe to look up from any thread.
  static const KyAnalysisOptionDescriptionManager& built();
  /// The integer default of `key` in a request held by `input`, as the
  /// descriptions its service name looks keys up in give it: a KyInt's
  /// value, else 0 (0 without a name). O(length of the key).
  static int defaultInteger(const KyServiceInputData& input, const wchar_t* key);

  static KyAnalysisOptionDescriptionManager* castDown(const KyObject* object) {
    return static_cast<KyAnalysisOptionDescriptionManager*>(const_cast<KyObject*>(object));
  }
};
