#include <kyanalysis/KyAnalysisError.h>

namespace {

// Indexed by code.
constexpr const char* kNames[] = {
    "ANALYSIS_ERROR_NONE",
    "ANALYSIS_ERROR_NO_INPUT_DATA",
    "ANALYSIS_ERROR_NO_OUTPUT_DATA",
    "ANALYSIS_ERROR_NO_GRAPH",
    "ANALYSIS_ERROR_NO_OPERATION",
    "ANALYSIS_ERROR_OPERATION_NOT_SUPPORTED",
    "ANALYSIS_ERROR_NO_START_NODE",
    "ANALYSIS_ERROR_NO_FINISH_NODE",
    "ANALYSIS_ERROR_START_NODE_NOT_IN_GRAPH",
    "ANALYSIS_ERROR_FINISH_NODE_NOT_IN_GRAPH",
    "ANALYSIS_ERROR_NEGATIVE_CYCLE",
    "ANALYSIS_ERROR_COST_OVERFLOW",
    "ANALYSIS_ERROR_OUT_OF_MEMORY",
    "ANALYSIS_ERROR_INVALID_OPTION",
    "ANALYSIS_ERROR_CANNOT_CONNECT",
    "ANALYSIS_ERROR_TIMED_OUT",
    "ANALYSIS_ERROR_UNAUTHORIZED",
    "ANALYSIS_ERROR_REQUEST_TOO_LARGE",
    "ANALYSIS_ERROR_SERVICE_BUSY",
    "ANALYSIS_ERROR_UNREADABLE_ANSWER",
    "ANALYSIS_ERROR_REQUEST_REFUSED",
    "ANALYSIS_ERROR_STOPPED",
};
static_assert(sizeof(kNames) / sizeof(kNames[0]) == KyAnalysisError::count(), "one name per code");

} // namespace

const char* KyAnalysisError::name(int code) {
  return code >= 0 && code < count() ? kNames[code] : nullptr;
}
