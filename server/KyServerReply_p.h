// KyServerReply: an HTTP answer, whatever carries it.
#pragma once

#include <kyanalysis/KyAnalysisWireContract.h>

#include <string>
#include <utility>
#include <vector>

/// The status, content type, body and extra headers of one answer.
struct KyServerReply {
  int status = KyAnalysisWireContract::statusOk;
  std::string contentType = KyAnalysisWireContract::jsonContentType;
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
  /// True when the connection is to be closed after this answer.
  bool closing = false;

  /// The refusal `refusal` as JSON {"error": WORD, "message": `message`}.
  static KyServerReply refusal(KyAnalysisWireContract::KyAnalysisRefusalEnum refusal,
                               const std::string& message);
  /// refusal(), telling the client to try again in a second (Retry-After).
  static KyServerReply retryLater(KyAnalysisWireContract::KyAnalysisRefusalEnum refusal,
                                  const std::string& message);
};
