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
  /// request, or of an idle connection, before it closes the connection;
  /// at least 1.
  int readSeconds = 5;
  /// How long, in seconds, the request line and headers may take to arrive
  /// whole, counted from the opening of the connection or the end of its
  /// previous answer; then the connection is closed. At least 1.
  int headerSeconds = 10;
  /// The slowest a body may arrive, in bytes per second, once it has taken
  /// `readSeconds`; a slower one has its connection closed. 0: no minimum.
  std::size_t minimumBytesPerSecond = 1024;
  /// Connections open at once, in all and from one client address: past
  /// the total a new connection waits to be accepted until one closes; past
  /// the limit of its address it is closed at once. 0 per address: no limit
  /// but the total.
  int maxConnections = 1024;
  int maxConnectionsPerAddress = 128;
  /// Header fields of one request at most, and the bytes of its request
  /// line and headers; past either, 431 and the connection is closed.
  int maxHeaders = 64;
  std::size_t maxHeaderBytes = 16384;
  /// The memory every request in flight may take together, in bytes:
  /// bodies counted from their first byte, then what reading and answering
  /// them is estimated to take. A request that does not fit now gets 503
  /// with Retry-After; one that could never fit, 413.
  std::size_t memoryBudgetBytes = std::size_t{1} << 30;
  /// The most values (numbers, references, list items) an answer may hold,
  /// as estimated before the engine starts (all pairs of n nodes: 2n²); a
  /// request over it gets 413.
  std::size_t maxAnswerValues = 10000000;
  /// How long, in seconds, one request may take from the end of its body
  /// to its answer; then its run stops and the answer holds
  /// ANALYSIS_ERROR_STOPPED. At least 1.
  int requestSeconds = 300;
  /// How long, in seconds, stop() lets the requests accepted be answered;
  /// a second before this, runs still going are stopped (and answered
  /// ANALYSIS_ERROR_STOPPED). At least 1.
  int drainSeconds = 10;
  /// Allows a host beyond the loopback interface without a token and TLS.
  bool insecure = false;
  /// Called with one line per request (no line end): time, peer, method
  /// and path, analysis, nodes/edges, status, milliseconds. Called from a
  /// thread of the service's own, one call at a time, never from one that
  /// answers requests; lines that a slow log cannot take are dropped and
  /// counted. Empty: no log.
  std::function<void(const std::string& line)> log;
  /// The body of GET /v1/analyses, JSON that describes the analyses (what
  /// `kyanalyze describe --json` prints); empty: that path answers 404.
  std::string analyses;
};
