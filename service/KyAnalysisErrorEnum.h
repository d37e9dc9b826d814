// KyAnalysisErrorEnum: the outcome codes of the local analysis engine.
#pragma once

/// What KyLocalAnalysisService::run() returns and stores under "errorCode".
/// An answer whose code is not ANALYSIS_ERROR_NONE holds "errorCode" and
/// nothing else.
enum KyAnalysisErrorEnum : int {
  /// The request was answered.
  ANALYSIS_ERROR_NONE = 0,
  /// The input data is null.
  ANALYSIS_ERROR_NO_INPUT_DATA = 1,
  /// The output data is null: nothing can be stored, the code is only returned.
  ANALYSIS_ERROR_NO_OUTPUT_DATA = 2,
  /// "all:none:graph" holds no graph.
  ANALYSIS_ERROR_NO_GRAPH = 3,
  /// "all:none:operation" holds no operation code, or OPERATION_NONE (-1).
  ANALYSIS_ERROR_NO_OPERATION = 4,
  /// The operation is one the engine does not answer yet, or the code is
  /// none of the service's 23 nor OPERATION_NONE.
  ANALYSIS_ERROR_OPERATION_NOT_SUPPORTED = 5,
  /// The start node option holds no node.
  ANALYSIS_ERROR_NO_START_NODE = 6,
  /// The finish node option holds no node.
  ANALYSIS_ERROR_NO_FINISH_NODE = 7,
  /// The start node belongs to another graph than the request's.
  ANALYSIS_ERROR_START_NODE_NOT_IN_GRAPH = 8,
  /// The finish node belongs to another graph than the request's.
  ANALYSIS_ERROR_FINISH_NODE_NOT_IN_GRAPH = 9,
  /// A cycle of negative cost lies on a walk the request asks about, so the
  /// walks have no cheapest.
  ANALYSIS_ERROR_NEGATIVE_CYCLE = 10,
  /// A cost of the answer does not fit in a 32-bit integer.
  ANALYSIS_ERROR_COST_OVERFLOW = 11,
  /// Memory ran out while the answer was built.
  ANALYSIS_ERROR_OUT_OF_MEMORY = 12,
  /// An option holds a value the analysis cannot work with (a negative
  /// capacity, say); the analysis's documentation lists which. The answer
  /// also holds "errorOption": the option's key, under the value's owner.
  ANALYSIS_ERROR_INVALID_OPTION = 13
};
