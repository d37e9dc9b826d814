// KyServerConnectionPool: the threads that carry the server's connections.
#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

/// Runs each accepted connection on a thread of its own, up to `most`
/// threads at once; later connections wait for one. Threads are started
/// only when every running one is busy, so that a long queue of requests
/// costs threads only while it is full; when the system starts no more, a
/// connection waits for a running thread instead. Every thread blocks
/// SIGPIPE. Thread-safe.
class KyServerConnectionPool : public httplib::TaskQueue {
public:
  explicit KyServerConnectionPool(std::size_t most) : most_(most) {}
  ~KyServerConnectionPool() override { shutdown(); }
  KyServerConnectionPool(const KyServerConnectionPool&) = delete;
  KyServerConnectionPool& operator=(const KyServerConnectionPool&) = delete;

  void enqueue(std::function<void()> connection) override;
  /// Runs every connection queued, then joins the threads.
  void shutdown() override;

private:
  void work();

  const std::size_t most_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> waiting_;
  std::vector<std::thread> threads_;
  std::size_t idle_ = 0;
  bool stopping_ = false;
};
