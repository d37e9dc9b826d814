// KyServerHttpTransport: carries requests to the endpoints over HTTP/1.1.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

class KyServerEndpoints;
namespace httplib {
class Server;
} // namespace httplib

/// One listening socket and the threads that accept its connections and
/// read, route and answer their requests: one thread per connection, at
/// most as many as there are workers and queue places, and a few spare ones
/// for health checks and the refusals of a full service. Every thread that
/// writes to a connection blocks SIGPIPE. Not thread-safe; the endpoints
/// must outlive it.
class KyServerHttpTransport {
public:
  /// Plain HTTP; with both files, HTTPS. valid() false when the
  /// certificate or key cannot be read.
  KyServerHttpTransport(KyServerEndpoints& endpoints, const std::string& certificateFile,
                        const std::string& keyFile);
  ~KyServerHttpTransport();
  KyServerHttpTransport(const KyServerHttpTransport&) = delete;
  KyServerHttpTransport& operator=(const KyServerHttpTransport&) = delete;

  bool valid() const;
  /// Binds `host` and `port` (0: a free port) and starts accepting; returns
  /// the port, or 0 when the address cannot be bound. Returns once
  /// connections are accepted.
  int listen(const std::string& host, int port);
  /// Stops accepting, lets every connection accepted finish its request,
  /// and joins every thread. Does nothing before listen() succeeded.
  void stop();

private:
  void route();

  KyServerEndpoints& endpoints_;
  std::unique_ptr<httplib::Server> server_;
  int listening_ = -1;
  std::thread acceptor_;
  std::atomic<bool> acceptingEnded_{false};
};
