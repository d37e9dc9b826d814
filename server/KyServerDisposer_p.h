// KyServerDisposer: what finished requests leave, freed off the threads
// that answer and carry requests. Internal to the server; not installed.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <malloc.h>
#include <mutex>
#include <thread>

/// Frees what large requests leave behind and gives freed memory back to
/// the system (malloc_trim), on a thread of its own. Freeing an answer of
/// millions of values, or trimming after it, takes up to a second; a worker
/// or the connections' thread that hands it over here is free at once.
/// Frees run in the order they were handed over; a trim asked while one
/// runs is served by one more. Whatever is still held when the disposer
/// goes is freed before its destructor returns. Thread-safe; each call
/// O(1).
class KyServerDisposer {
public:
  KyServerDisposer() : thread_([this] { run(); }) {}
  ~KyServerDisposer() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      ending_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  KyServerDisposer(const KyServerDisposer&) = delete;
  KyServerDisposer& operator=(const KyServerDisposer&) = delete;

  /// Runs `free` on the disposer's thread, then trims.
  void dispose(std::function<void()> free) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      frees_.push_back(std::move(free));
      trimWanted_ = true;
    }
    wake_.notify_one();
  }
  /// Trims on the disposer's thread.
  void trim() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      trimWanted_ = true;
    }
    wake_.notify_one();
  }

private:
  void run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return !frees_.empty() || trimWanted_ || ending_; });
      if (!frees_.empty()) {
        std::function<void()> free = std::move(frees_.front());
        frees_.pop_front();
        lock.unlock();
        free();
        lock.lock();
        continue;
      }
      if (ending_)
        return;
      trimWanted_ = false;
      lock.unlock();
      malloc_trim(0);
      lock.lock();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> frees_;
  bool trimWanted_ = false;
  bool ending_ = false;
  std::thread thread_;
};
