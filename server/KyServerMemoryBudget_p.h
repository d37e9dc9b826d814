// KyServerMemoryBudget: the memory every request in flight may take together.
#pragma once

#include <atomic>
#include <cstddef>

/// A count of bytes taken against a limit. Thread-safe; each call O(1)
/// (a few atomic steps).
class KyServerMemoryBudget {
public:
  explicit KyServerMemoryBudget(std::size_t limit) : limit_(limit) {}

  /// Takes `bytes`; false, taking nothing, when they do not fit now.
  bool take(std::size_t bytes) {
    std::size_t used = used_.load(std::memory_order_relaxed);
    do {
      if (bytes > limit_ - used)
        return false;
    } while (!used_.compare_exchange_weak(used, used + bytes, std::memory_order_relaxed));
    return true;
  }
  void give(std::size_t bytes) { used_.fetch_sub(bytes, std::memory_order_relaxed); }
  std::size_t used() const { return used_.load(std::memory_order_relaxed); }
  std::size_t limit() const { return limit_; }

private:
  const std::size_t limit_;
  std::atomic<std::size_t> used_{0};
};

/// What one request holds of a budget, given back with the object. Not
/// thread-safe: one request's thread uses it at a time.
class KyServerMemoryHold {
public:
  explicit KyServerMemoryHold(KyServerMemoryBudget& budget) : budget_(budget) {}
  ~KyServerMemoryHold() { budget_.give(held_); }
  KyServerMemoryHold(const KyServerMemoryHold&) = delete;
  KyServerMemoryHold& operator=(const KyServerMemoryHold&) = delete;

  /// Takes `bytes` more; false, taking nothing, when they do not fit now.
  bool grow(std::size_t bytes) {
    if (!budget_.take(bytes))
      return false;
    held_ += bytes;
    return true;
  }
  std::size_t held() const { return held_; }

private:
  KyServerMemoryBudget& budget_;
  std::size_t held_ = 0;
};
