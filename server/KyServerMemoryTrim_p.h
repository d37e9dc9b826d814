// KyServerMemoryTrim: freed memory given back to the system off the
// connections' thread. Internal to the server; not installed.
#pragma once

#include <condition_variable>
#include <malloc.h>
#include <mutex>
#include <thread>

/// Gives the memory the process has freed back to the system
/// (malloc_trim) on a thread of its own, so that the thread that reads and
/// writes every connection never waits for it: a trim after a large
/// request can take a second. Asks made while a trim runs are served by
/// one more. Thread-safe; ask() is O(1).
class KyServerMemoryTrim {
public:
  KyServerMemoryTrim() : thread_([this] { run(); }) {}
  ~KyServerMemoryTrim() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      ending_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  KyServerMemoryTrim(const KyServerMemoryTrim&) = delete;
  KyServerMemoryTrim& operator=(const KyServerMemoryTrim&) = delete;

  void ask() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      wanted_ = true;
    }
    wake_.notify_one();
  }

private:
  void run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return wanted_ || ending_; });
      if (ending_)
        return;
      wanted_ = false;
      lock.unlock();
      malloc_trim(0);
      lock.lock();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  bool wanted_ = false;
  bool ending_ = false;
  std::thread thread_;
};
