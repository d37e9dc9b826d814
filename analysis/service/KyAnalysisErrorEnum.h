// KyAnalysisErrorEnum: the outcome codes of an analysis request.
#pragma once

/// What KyLocalAnalysisService::run() and KyRemoteAnalysisService::run()
/// return and store under "errorCode". An answer whose code is not
/// ANALYSIS_ERROR_NONE holds "errorCode" and nothing else.
///
/// Codes 0 to 13 are the engine's own: a remote service answers with them
/// as the local engine does. Codes 14 to 20 say that a request did not
/// reach a service or its answer did not come back; only the remote client
/// gives them, and it then leaves the caller's input data as it was. Code
/// 21 says that a run was stopped before its end, which a service does at
/// its time limit.
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
  ANALYSIS_ERROR_INVALID_OPTION = 13,
  /// No connection could be made to the service: a URL that names no usable
  /// service, a host that cannot be found or does not accept, or a TLS
  /// connection that failed (a certificate the client does not trust, say).
  ANALYSIS_ERROR_CANNOT_CONNECT = 14,
  /// The connection, the sending of the request or the wait for the answer
  /// took longer than the client's time limits allow.
  ANALYSIS_ERROR_TIMED_OUT = 15,
  /// The service refused the request's token, or wanted one and got none
  /// (HTTP 401).
  ANALYSIS_ERROR_UNAUTHORIZED = 16,
  /// The request is larger than the service accepts (HTTP 413).
  ANALYSIS_ERROR_REQUEST_TOO_LARGE = 17,
  /// Every worker of the service is busy and its queue is full (HTTP 503);
  /// the same request may be sent again later.
  ANALYSIS_ERROR_SERVICE_BUSY = 18,
  /// No answer came back (the connection broke off), or what came back is
  /// not an answer document that can be read onto the request's objects.
  ANALYSIS_ERROR_UNREADABLE_ANSWER = 19,
  /// The service refused the request as unreadable or answered with a
  /// status the client does not know (HTTP 400, 404, 500, ...).
  ANALYSIS_ERROR_REQUEST_REFUSED = 20,
  /// The run was stopped before its end: a service's time limit for one
  /// request passed, or the caller of the local engine asked it to stop
  /// (KyAnalysisStop). Nothing was answered; a smaller request, or a
  /// service with a longer time limit, may be answered.
  ANALYSIS_ERROR_STOPPED = 21
};
