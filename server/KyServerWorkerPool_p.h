// KyServerWorkerPool: the threads that answer requests, and the queue of
// those waiting for one.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

/// Runs jobs on `workers` threads, at most `workers` at once, and lets at
/// most `queue` more wait; refuses the rest at once. A waiting job costs
/// its closure, no thread. Every thread blocks SIGPIPE. Thread-safe.
class KyServerWorkerPool {
public:
  KyServerWorkerPool(int workers, int queue);
  /// Runs what is queued, then joins the threads.
  ~KyServerWorkerPool();
  KyServerWorkerPool(const KyServerWorkerPool&) = delete;
  KyServerWorkerPool& operator=(const KyServerWorkerPool&) = delete;

  /// Queues `job`; false, dropping it, when every worker is busy and the
  /// queue is full.
  bool submit(std::function<void()> job);

  struct Load {
    int workers;
    int busy;
    int queued;
  };
  /// The workers, those busy and the jobs waiting, at one instant.
  Load load() const;

private:
  void work();

  const int workers_;
  const int queue_;
  mutable std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> waiting_;
  std::vector<std::thread> threads_;
  int busy_ = 0;
  bool stopping_ = false;
};
