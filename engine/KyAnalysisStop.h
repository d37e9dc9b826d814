// KyAnalysisStop: a request, from any thread, that a run of the engine stop.
#pragma once

#include <kyengine/KyEngineExport.h>

#include <atomic>

/// Handed to KyLocalAnalysisService::run(), lets another thread ask the run
/// to stop before its end: the run then returns ANALYSIS_ERROR_STOPPED
/// within a second (its loops look at the request as they go), its answer
/// holding that code alone. The first reason asked is kept. Thread-safe;
/// each call O(1).
class KYENGINE_EXPORT KyAnalysisStop {
public:
  /// Why a stop was asked.
  enum ReasonEnum : int {
    /// None asked.
    NOT_ASKED = 0,
    /// The run's time limit has passed.
    TIME_LIMIT = 1,
    /// Whoever waited for the answer has gone.
    WITHDRAWN = 2
  };

  void request(ReasonEnum reason) noexcept {
    int none = NOT_ASKED;
    reason_.compare_exchange_strong(none, reason, std::memory_order_relaxed);
  }
  ReasonEnum reason() const noexcept {
    return static_cast<ReasonEnum>(reason_.load(std::memory_order_relaxed));
  }
  bool requested() const noexcept { return reason() != NOT_ASKED; }

private:
  std::atomic<int> reason_{NOT_ASKED};
};
