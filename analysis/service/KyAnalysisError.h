// KyAnalysisError: the names of the outcome codes of an analysis request.
#pragma once

#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisExport.h>

/// The enumerator name of every outcome code, so that a program can say
/// which code it got: name(8) is "ANALYSIS_ERROR_START_NODE_NOT_IN_GRAPH".
class KYANALYSIS_EXPORT KyAnalysisError {
public:
  /// Number of codes; they run from 0 to count() - 1.
  static constexpr int count() { return ANALYSIS_ERROR_STOPPED + 1; }
  /// The name of `code` (a static text), or null for a code outside 0 to
  /// count() - 1. O(1).
  static const char* name(int code);
};
