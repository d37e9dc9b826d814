// KyAnalysisRequestCheck: whether a request has what every analysis needs.
#pragma once

#include <kyanalysis/KyAnalysisExport.h>

class KyServiceInputData;

/// The checks every request passes before any analysis reads it, in the
/// order the engine makes them; the local engine and the remote client both
/// answer through this, so that a request that fails more than one gets the
/// same code from either.
class KYANALYSIS_EXPORT KyAnalysisRequestCheck {
public:
  /// ANALYSIS_ERROR_NONE when `input` names an operation of the service
  /// under "all:none:operation" and holds a graph under "all:none:graph";
  /// otherwise the first failure of: ANALYSIS_ERROR_NO_OPERATION (none
  /// stored, a value that is no KyInt, or OPERATION_NONE),
  /// ANALYSIS_ERROR_OPERATION_NOT_SUPPORTED (a code outside 0..22),
  /// ANALYSIS_ERROR_NO_GRAPH (none stored, or a value that is no KyGraph).
  /// O(1); reads `input` only.
  static int outcome(const KyServiceInputData& input);
};
