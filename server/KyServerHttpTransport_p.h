// KyServerHttpTransport: carries requests to the endpoints over HTTP/1.1.
#pragma once

#include "KyServerConnectionWatch_p.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

class KyServerEndpoints;
class KyServerExchange;
struct MHD_Daemon;

/// One listening socket and the event-driven HTTP layer on it: a few
/// threads, each waiting on many connections at once, read requests, route
/// them and write the answers; a connection costs memory, no thread, while
/// its client is slow. Every connection is bounded: its header fields in
/// number and size, its headers and body in time, its body in memory
/// against the endpoints' budget; and connections are bounded in all and
/// per client address. Runs of the engine go to the endpoints' workers,
/// the connection set aside meanwhile and watched for its client leaving.
/// Not thread-safe; the endpoints must outlive it.
class KyServerHttpTransport {
public:
  /// Plain HTTP; with both files, HTTPS. valid() false when the
  /// certificate or key cannot be read.
  KyServerHttpTransport(KyServerEndpoints& endpoints, const std::string& certificateFile,
                        const std::string& keyFile);
  ~KyServerHttpTransport();
  KyServerHttpTransport(const KyServerHttpTransport&) = delete;
  KyServerHttpTransport& operator=(const KyServerHttpTransport&) = delete;

  bool valid() const { return valid_; }
  /// What listen() found.
  enum Listening { LISTENING, CANNOT_BIND, TLS_REFUSED };
  /// Binds `host` and `port` (0: a free port) and starts answering; returns
  /// once connections are accepted. port() then tells the port.
  Listening listen(const std::string& host, int port);
  int port() const { return port_; }
  /// Stops accepting, lets the requests accepted be answered for the
  /// options' drain time (runs still going a second before its end are
  /// stopped), closes what is left and ends every thread. Does nothing
  /// before listen() succeeded.
  void stop();

private:
  friend class KyServerExchange;
  /// What the HTTP layer calls.
  struct Callbacks;
  /// Called once a run handed to a worker is answered.
  void ran();

  KyServerEndpoints& endpoints_;
  std::string certificate_;
  std::string key_;
  bool valid_ = true;
  KyServerConnectionWatch watch_;
  MHD_Daemon* daemon_ = nullptr;
  int listening_ = -1;
  int port_ = 0;
  /// Set once stop() has stopped the runs: later ones stop at once.
  std::atomic<bool> runsStopped_{false};
  std::mutex mutex_;
  std::condition_variable settled_;
  /// Requests under way (from their headers to their end), and those of
  /// them set aside for a worker.
  int exchanges_ = 0;
  int running_ = 0;
};
