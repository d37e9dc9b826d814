// KyServerAdmission: how many requests the engine answers at once, and how
// many may wait.
#pragma once

#include <condition_variable>
#include <mutex>

/// Admits at most `workers` requests to the engine at once and lets at most
/// `queue` more wait for a worker; refuses the rest at once. Thread-safe.
class KyServerAdmission {
public:
  KyServerAdmission(int workers, int queue) : workers_(workers), queue_(queue) {}

  /// Waits for a worker and takes it; false at once, taking none, when
  /// every worker is busy and the queue is full.
  bool enter();
  /// Gives back a worker enter() took.
  void leave();

  struct Load {
    int workers;
    int busy;
    int queued;
  };
  /// The workers, those busy and the requests waiting, at one instant.
  Load load() const;

private:
  const int workers_;
  const int queue_;
  mutable std::mutex mutex_;
  std::condition_variable free_;
  int busy_ = 0;
  int waiting_ = 0;
};

/// A worker held for the length of one request, when one could be had.
class KyServerWorker {
public:
  explicit KyServerWorker(KyServerAdmission& admission)
      : admission_(admission), held_(admission.enter()) {}
  ~KyServerWorker() {
    if (held_)
      admission_.leave();
  }
  KyServerWorker(const KyServerWorker&) = delete;
  KyServerWorker& operator=(const KyServerWorker&) = delete;
  explicit operator bool() const { return held_; }

private:
  KyServerAdmission& admission_;
  const bool held_;
};
