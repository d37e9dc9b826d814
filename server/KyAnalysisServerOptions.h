// KyAnalysisServerOptions: what a KyAnalysisServer listens on and accepts.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

/// The settings of a KyAnalysisServer, read once by start(). Every field
/// has a usable default: a plain HTTP service on 127.0.0.1:8080 that wants
/// no token and writes no log.
struct KyAnalysisServerOptions {
  /// The host name or address to listen on: "127.0.0.1", "::1",
  /// "localhost", "0.0.0.0" for every interface.
  std::string host = "127.0.0.1";
  /// The port, 0 to 65535; 0 lets the system pick a free one, which
  /// KyAnalysisServer::port() then tells.
  int port = 8080;
  /// Workers: requests answered at once. 0: one per core of the machine.
  int threads = 0;
  /// Requests that may wait for a worker; beyond them the service answers
  /// 503 at once.
  int queue = 64;
  /// The token every request but the health check must carry as
  /// "Authorization: Bearer TOKEN", compared in constant time; empty: none.
  std::string token;
  /// PEM files of the certificate and its private key: both set for
  /// HTTPS, both empty for plain HTTP.
  std::string tlsCertificateFile;
  std::string tlsKeyFile;
  /// The largest request body accepted, in bytes; a longer one gets 413.
  std::size_t maxRequestBytes = std::size_t{512} << 20;
  /// How long, in seconds, the service waits for the next bytes of a
  /// request before it answers 408; at least 1.
  int readSeconds = 5;
  /// Allows a host beyond the loopback interface without a token and TLS.
  bool insecure = false;
  /// Called with one line per request (no line end): time, peer, method
  /// and path, analysis, nodes/edges, status, milliseconds. Called from the
  /// service's threads, one call at a time; empty: no log.
  std::function<void(const std::string& line)> log;
  /// The body of GET /v1/analyses, JSON that describes the analyses (what
  /// `kyanalyze describe --json` prints); empty: that path answers 404.
  std::string analyses;
};
