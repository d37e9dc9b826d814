// KyAnalysisWireContract: how requests and answers travel between an
// analysis service and its clients over HTTP, written once for both sides.
#pragma once

#include <kyanalysis/KyAnalysisErrorEnum.h>

/// The paths, content types and headers of the analysis service, and the
/// refusals it answers with: each one's HTTP status, the word its JSON body
/// names it by, and the outcome code a client answers with when it gets
/// that status. Header-only; every lookup is O(number of refusals).
namespace KyAnalysisWireContract {

/// POST: the body is a request as the serializer's base-64 string; the
/// answer (status 200, whatever the engine's code) is the answer string.
inline constexpr char runPath[] = "/v1/run";
/// GET: the analyses with their options and results, as JSON.
inline constexpr char analysesPath[] = "/v1/analyses";
/// GET: how busy the service is, as JSON; needs no token.
inline constexpr char healthPath[] = "/healthz";
/// GET: 200 while the service takes requests, 503 while it drains or is
/// full, as JSON; needs no token. What a load balancer checks.
inline constexpr char readinessPath[] = "/readyz";
/// GET: counts and gauges of the service in the Prometheus text format.
inline constexpr char metricsPath[] = "/metrics";

/// The content type of request and answer strings.
inline constexpr char stringContentType[] = "text/plain";
/// The content type of refusals, of the analyses and of the health.
inline constexpr char jsonContentType[] = "application/json";

/// A request carries the service's token as "Authorization: Bearer TOKEN".
inline constexpr char authorizationHeader[] = "Authorization";
inline constexpr char tokenScheme[] = "Bearer ";
/// Beside 401: the scheme the service wants.
inline constexpr char challengeHeader[] = "WWW-Authenticate";
/// Beside 503: the seconds after which the request may be sent again.
inline constexpr char retryAfterHeader[] = "Retry-After";

/// The status of an answer.
inline constexpr int statusOk = 200;
/// What a balancer in front of services answers when the service it chose
/// broke off without an answer: safe to send again, as a service keeps
/// nothing of a request.
inline constexpr int statusBadGateway = 502;

/// Why a service refuses a request.
enum KyAnalysisRefusalEnum : int {
  /// The body is empty, not base 64, or not an analysis request; or the
  /// HTTP request itself cannot be read.
  REFUSAL_BAD_REQUEST = 0,
  /// A token is wanted and the request carries none or another one.
  REFUSAL_UNAUTHORIZED = 1,
  /// No such method and path.
  REFUSAL_NOT_FOUND = 2,
  /// The body did not arrive whole within the service's read time limit.
  REFUSAL_REQUEST_TIMEOUT = 3,
  /// The body is longer than the service accepts.
  REFUSAL_REQUEST_TOO_LARGE = 4,
  /// Every worker is busy and the queue is full: send it again later.
  REFUSAL_SERVICE_BUSY = 5,
  /// The answer could not be written.
  REFUSAL_INTERNAL_ERROR = 6,
  /// The body is compressed (Content-Encoding other than identity).
  REFUSAL_UNSUPPORTED_ENCODING = 7,
  /// The request has more header fields, or longer ones, than the service
  /// reads.
  REFUSAL_HEADERS_TOO_LARGE = 8
};

/// One refusal: its status, the word of its JSON body
/// ({"error": WORD, "message": SENTENCE}) and the client's outcome code.
struct Refusal {
  KyAnalysisRefusalEnum refusal;
  int status;
  const char* error;
  int outcome;
};

/// Every refusal, indexed by KyAnalysisRefusalEnum.
inline constexpr Refusal refusals[] = {
    {REFUSAL_BAD_REQUEST, 400, "badRequest", ANALYSIS_ERROR_REQUEST_REFUSED},
    {REFUSAL_UNAUTHORIZED, 401, "unauthorized", ANALYSIS_ERROR_UNAUTHORIZED},
    {REFUSAL_NOT_FOUND, 404, "notFound", ANALYSIS_ERROR_REQUEST_REFUSED},
    {REFUSAL_REQUEST_TIMEOUT, 408, "requestTimeout", ANALYSIS_ERROR_TIMED_OUT},
    {REFUSAL_REQUEST_TOO_LARGE, 413, "requestTooLarge", ANALYSIS_ERROR_REQUEST_TOO_LARGE},
    {REFUSAL_SERVICE_BUSY, 503, "serviceBusy", ANALYSIS_ERROR_SERVICE_BUSY},
    {REFUSAL_INTERNAL_ERROR, 500, "internalError", ANALYSIS_ERROR_REQUEST_REFUSED},
    {REFUSAL_UNSUPPORTED_ENCODING, 415, "unsupportedEncoding", ANALYSIS_ERROR_REQUEST_REFUSED},
    {REFUSAL_HEADERS_TOO_LARGE, 431, "headersTooLarge", ANALYSIS_ERROR_REQUEST_REFUSED}};

constexpr bool refusalsInOrder() {
  for (int i = 0; i < static_cast<int>(sizeof refusals / sizeof refusals[0]); ++i)
    if (refusals[i].refusal != i)
      return false;
  return true;
}
static_assert(refusalsInOrder(), "refusals[] is indexed by KyAnalysisRefusalEnum");

/// The refusal `refusal` names.
constexpr const Refusal& refusalOf(KyAnalysisRefusalEnum refusal) {
  return refusals[static_cast<int>(refusal)];
}

/// The outcome code a client answers with for an HTTP status other than
/// statusOk: the refusal's for a status a service refuses with,
/// ANALYSIS_ERROR_REQUEST_REFUSED for any other.
constexpr int outcomeOfStatus(int status) {
  for (const Refusal& refusal : refusals)
    if (refusal.status == status)
      return refusal.outcome;
  return ANALYSIS_ERROR_REQUEST_REFUSED;
}

} // namespace KyAnalysisWireContract
