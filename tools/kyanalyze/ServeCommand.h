// ServeCommand: `kyanalyze serve`, the analysis service over HTTP.
#pragma once

#include "Command.h"

#include <string>

namespace kyanalyze {

/// Answers analysis requests over HTTP/1.1 (HTTPS with a certificate and
/// key) with the local engine, until SIGTERM or SIGINT:
///
///   POST /v1/run       body: a request as the serializer's base-64 string;
///                      answer 200 with the answer document in base 64,
///                      whatever the engine's code
///   GET  /v1/analyses  what `describe --json` prints
///   GET  /healthz      {"status": "ok", "workers", "busy", "queued"}
///
/// Failures are JSON {"error": word, "message": sentence}: 400 for a body
/// that is not a request, 401 without the right token, 404, 408 for a
/// request that does not arrive whole within the read time limit, 413 past
/// --max-request-bytes, 503 with Retry-After when every worker is busy and
/// the queue is full. One line per request goes to standard error. The
/// service keeps nothing between requests. docs/service.md tells the rest.
class ServeCommand : public Command {
public:
  CLI::App* attach(CLI::App& app) override;
  /// Serves until a stop signal: kExitOk once the requests in flight are
  /// answered. kExitUsage with one line on `err` for a listen address that
  /// cannot be parsed, or beyond the loopback interface without a token
  /// and TLS (unless --insecure); kExitFailure for a token, certificate or
  /// key that cannot be read, or an address that cannot be bound.
  int run(std::ostream& out, std::ostream& err) override;

private:
  std::string listen_ = "127.0.0.1:8080";
  int threads_ = 0;
  int queue_ = 64;
  std::string tokenFile_;
  std::string tlsCert_;
  std::string tlsKey_;
  long long maxRequestBytes_ = 512LL << 20;
  bool insecure_ = false;
};

} // namespace kyanalyze
