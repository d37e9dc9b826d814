// KyServerLog: hands log lines to the application's log on a thread of its own.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

/// Takes lines from any thread without waiting on the log itself: a
/// thread of its own hands them to `write`, one call at a time, in order.
/// When `most` lines wait already (a log that cannot keep up, a pipe nobody
/// reads), a new line is dropped and counted. With an empty `write` every
/// line is dropped at once, uncounted. Thread-safe.
class KyServerLog {
public:
  KyServerLog(std::function<void(const std::string&)> write, std::size_t most);
  /// Hands over every line still waiting, then ends the thread.
  ~KyServerLog();
  KyServerLog(const KyServerLog&) = delete;
  KyServerLog& operator=(const KyServerLog&) = delete;

  bool wanted() const { return static_cast<bool>(write_); }
  void add(std::string line);
  /// Lines dropped so far.
  std::size_t dropped() const { return dropped_.load(std::memory_order_relaxed); }

private:
  void run();

  const std::function<void(const std::string&)> write_;
  const std::size_t most_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::string> waiting_;
  bool ending_ = false;
  std::atomic<std::size_t> dropped_{0};
  std::thread thread_;
};
