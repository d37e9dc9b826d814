// KyServerHttpTransport: carries requests to the endpoints over HTTP/1.1.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

class KyServerEndpoints;
class KyServerExchange;
struct MHD_Daemon;

/// One listening socket and the event-driven HTTP layer on it: a few
/// threads, each waiting on many connections at once, read requests, route
/// them and write the answers; a connection costs memory, no thread, while
/// its client is slow. Runs of the engine go to the endpoints' workers,
/// the connection set aside meanwhile. Not thread-safe; the endpoints must
/// outlive it.
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
  /// Stops accepting, lets every request accepted finish, and ends every
  /// thread. Does nothing before listen() succeeded.
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
  MHD_Daemon* daemon_ = nullptr;
  int listening_ = -1;
  int port_ = 0;
  std::mutex mutex_;
  std::condition_variable settled_;
  /// Requests under way (from their headers to their end), and those of
  /// them set aside for a worker.
  int exchanges_ = 0;
  int running_ = 0;
};
