// ServeCommand: `kyanalyze serve`, the analysis service over HTTP.
#pragma once

#include "Command.h"

#include <kyserver/KyAnalysisServerOptions.h>

#include <string>

namespace kyanalyze {

/// Runs a KyAnalysisServer (library kyserver) with the options of the
/// command line until SIGTERM or SIGINT, its log on standard error and
/// what `describe --json` prints as its description of the analyses.
/// docs/service.md tells the rest.
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
  /// The limits, deadlines and budgets, set straight from their options.
  KyAnalysisServerOptions limits_;
};

} // namespace kyanalyze
