#include "EngineOutcome.h"

#include <kyanalysis/KyAnalysisErrorEnum.h>

namespace kyanalyze {
namespace {

struct Outcome {
  int code;
  const char* name;
  const char* meaning;
};

const Outcome kOutcomes[] = {
    {ANALYSIS_ERROR_NONE, "ANALYSIS_ERROR_NONE", "the request was answered"},
    {ANALYSIS_ERROR_NO_INPUT_DATA, "ANALYSIS_ERROR_NO_INPUT_DATA", "there is no request"},
    {ANALYSIS_ERROR_NO_OUTPUT_DATA, "ANALYSIS_ERROR_NO_OUTPUT_DATA", "there is no answer store"},
    {ANALYSIS_ERROR_NO_GRAPH, "ANALYSIS_ERROR_NO_GRAPH", "the request holds no graph"},
    {ANALYSIS_ERROR_NO_OPERATION, "ANALYSIS_ERROR_NO_OPERATION", "the request names no analysis"},
    {ANALYSIS_ERROR_OPERATION_NOT_SUPPORTED, "ANALYSIS_ERROR_OPERATION_NOT_SUPPORTED",
     "the local engine does not answer this analysis"},
    {ANALYSIS_ERROR_NO_START_NODE, "ANALYSIS_ERROR_NO_START_NODE",
     "the start node option holds no node"},
    {ANALYSIS_ERROR_NO_FINISH_NODE, "ANALYSIS_ERROR_NO_FINISH_NODE",
     "the finish node option holds no node"},
    {ANALYSIS_ERROR_START_NODE_NOT_IN_GRAPH, "ANALYSIS_ERROR_START_NODE_NOT_IN_GRAPH",
     "the start node is not in the graph"},
    {ANALYSIS_ERROR_FINISH_NODE_NOT_IN_GRAPH, "ANALYSIS_ERROR_FINISH_NODE_NOT_IN_GRAPH",
     "the finish node is not in the graph"},
    {ANALYSIS_ERROR_NEGATIVE_CYCLE, "ANALYSIS_ERROR_NEGATIVE_CYCLE",
     "a cycle of negative cost leaves no cheapest walk"},
    {ANALYSIS_ERROR_COST_OVERFLOW, "ANALYSIS_ERROR_COST_OVERFLOW",
     "a cost does not fit in a 32-bit integer"},
    {ANALYSIS_ERROR_OUT_OF_MEMORY, "ANALYSIS_ERROR_OUT_OF_MEMORY", "memory ran out"},
    {ANALYSIS_ERROR_INVALID_OPTION, "ANALYSIS_ERROR_INVALID_OPTION",
     "an option holds a value the analysis cannot work with"},
};

} // namespace

std::string engineOutcome(int code) {
  for (const Outcome& outcome : kOutcomes)
    if (outcome.code == code)
      return std::string(outcome.name) + " (" + std::to_string(code) + "): " + outcome.meaning;
  return "error code " + std::to_string(code);
}

} // namespace kyanalyze
