// KyAnalysisServer: the analysis service over HTTP, in the caller's process.
#pragma once

#include <kyserver/KyAnalysisServerOptions.h>
#include <kyserver/KyServerExport.h>

#include <memory>
#include <string>

/// What KyAnalysisServer::start() found.
enum KyAnalysisServerStartEnum : int {
  /// The server listens and answers.
  SERVER_STARTED = 0,
  /// An option is out of its range: a port outside 0..65535, a negative
  /// thread or queue count, a body limit of 0, a read, header, request or
  /// drain time under 1 s, a connection limit under 1, a header limit under
  /// 1 field or 1024 bytes, a memory budget or answer cap of 0, an empty
  /// host, or one TLS file without the other.
  SERVER_INVALID_OPTIONS = 1,
  /// The host lies beyond the loopback interface and the options give
  /// neither a token and TLS nor `insecure`.
  SERVER_UNSAFE_ADDRESS = 2,
  /// The TLS certificate or key cannot be read.
  SERVER_TLS_UNREADABLE = 3,
  /// The address cannot be bound: a port another service listens on, a
  /// host of no interface of this machine.
  SERVER_CANNOT_LISTEN = 4,
  /// start() was called before on this server.
  SERVER_ALREADY_STARTED = 5
};

/// Answers analysis requests over HTTP/1.1 (HTTPS with a certificate and
/// key) with the local engine, on threads of its own:
///
///   POST /v1/run       body: a request as the serializer's base-64 string;
///                      answer 200 with the answer string, whatever the
///                      engine's code
///   GET  /v1/analyses  the options' `analyses` document
///   GET  /healthz      {"busy", "queued", "status": "ok", "workers"}; no token
///   GET  /readyz       200 while it takes requests, 503 while it drains or
///                      its memory budget is nearly taken; no token
///   GET  /metrics      counts and gauges in the Prometheus text format
///
/// Refusals are JSON {"error": word, "message": sentence}, with the statuses
/// of KyAnalysisWireContract: 400 for a body that is not a request or is
/// framed in doubt, 401 without the right token, 404, 413 past the body
/// limit, the answer cap or the whole memory budget, 415 for a compressed
/// body, 431 past the header limits, 503 with Retry-After when every worker
/// is busy and the queue is full or the memory budget cannot take the
/// request now, 500 when an answer cannot be written. A refused body is
/// still read to its end, so that a client still sending gets the refusal.
/// A connection whose request does not arrive within the time limits is
/// closed without an answer; a run past its time limit, or whose client
/// has gone, is stopped and answered ANALYSIS_ERROR_STOPPED. The service
/// keeps nothing between requests. docs/service.md tells every option.
///
/// While it runs, the server keeps the XML platform set up, and its threads
/// block SIGPIPE (a peer that goes away fails a write instead of ending the
/// process); it handles no other signal: a program that wants SIGTERM to
/// stop the service calls stop() itself. Its members are called from one
/// thread at a time.
class KYSERVER_EXPORT KyAnalysisServer {
public:
  explicit KyAnalysisServer(KyAnalysisServerOptions options = {});
  /// Stops the server as stop() does.
  ~KyAnalysisServer();
  KyAnalysisServer(const KyAnalysisServer&) = delete;
  KyAnalysisServer& operator=(const KyAnalysisServer&) = delete;

  /// Checks the options, binds the address and starts answering; returns
  /// once the server accepts connections. A server starts once.
  KyAnalysisServerStartEnum start();
  /// Drains the server: stops accepting connections (new ones are refused),
  /// lets every request already accepted (those waiting for a worker too)
  /// be answered for the options' `drainSeconds`, stopping the runs still
  /// going a second before that time is up, closes what is left and returns
  /// once the server's threads have ended. Does nothing on a server that is
  /// not running.
  void stop();

  /// True from a successful start() to stop().
  bool running() const;
  /// The port the server listens on while it runs; 0 otherwise.
  int port() const;
  /// "http://HOST:PORT" (https with TLS, an IPv6 host in brackets) while
  /// the server runs; empty otherwise.
  std::string url() const;
  /// The number of workers: the options' `threads`, or the cores of the
  /// machine when that is 0.
  int workers() const;

  /// True for "localhost" and the addresses of the loopback interface
  /// (127.0.0.0/8, ::1): hosts that only this machine reaches.
  static bool isLoopback(const std::string& host);

private:
  class Running;
  const KyAnalysisServerOptions options_;
  std::unique_ptr<Running> running_;
  bool started_ = false;
};
