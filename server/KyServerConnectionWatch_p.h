// KyServerConnectionWatch: the deadlines of the server's connections.
#pragma once

#include <kyengine/KyAnalysisStop.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sys/socket.h>
#include <thread>
#include <unordered_map>

/// Watches every open connection from a thread of its own, ten times a
/// second: cuts one whose request headers take longer than `headerTime`
/// (counted from its opening, or from the end of its previous request),
/// and stops the run of a request whose time limit has passed, or whose
/// client has closed its side of the connection once the request has
/// waited or run for a second (a client that only half-closes after its
/// request still gets the answer of a shorter run). Thread-safe.
class KyServerConnectionWatch {
public:
  explicit KyServerConnectionWatch(std::chrono::milliseconds headerTime);
  /// Ends the watching thread.
  ~KyServerConnectionWatch();
  KyServerConnectionWatch(const KyServerConnectionWatch&) = delete;
  KyServerConnectionWatch& operator=(const KyServerConnectionWatch&) = delete;

  /// A connection on socket `fd` opened: its header clock starts.
  void opened(const void* connection, int fd);
  /// Its request's headers are in: no header deadline until it ends.
  void requestBegan(const void* connection);
  /// Its request has been answered or dropped: the header clock restarts.
  void requestEnded(const void* connection);
  /// It is about to be closed; forgotten from here on.
  void closed(const void* connection);
  /// Its request runs until `stop` is asked, which the watch does when the
  /// client closes its side or at `deadline`. `stop` must stay valid until
  /// unwatched() or closed().
  void watch(const void* connection, KyAnalysisStop& stop,
             std::chrono::steady_clock::time_point deadline);
  void unwatched(const void* connection);

  /// Asks every run watched to stop, as if its deadline had passed.
  void stopAll();

  /// Connections open now.
  int open() const;

private:
  struct Watched {
    int fd;
    sockaddr_storage peer;
    socklen_t peerLength;
    std::chrono::steady_clock::time_point since;
    bool inRequest = false;
    bool cut = false;
    KyAnalysisStop* stop = nullptr;
    std::chrono::steady_clock::time_point watchedSince;
    std::chrono::steady_clock::time_point deadline;
  };
  void sweep();
  /// True when `watched`'s socket is still the connection it was opened as.
  static bool same(const Watched& watched);

  const std::chrono::milliseconds headerTime_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::unordered_map<const void*, Watched> connections_;
  bool ending_ = false;
  std::thread thread_;
};
