// KyServerMetrics: what the service counts of its requests, for /metrics.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>

/// Counts of the requests ended (by status and analysis), a histogram of
/// their latency, and the bytes received and sent. Thread-safe; noting a
/// request is O(log of the pairs of status and analysis seen).
class KyServerMetrics {
public:
  /// The upper bounds, in seconds, of the latency histogram's buckets.
  static constexpr std::array<double, 14> kBuckets = {0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5,
                                                      1,     2.5,  5,     10,   30,  60,   300};

  void ended(int status, const std::string& analysis, std::chrono::nanoseconds took,
             std::uint64_t received, std::uint64_t sent);

  /// The gauges that the caller reads at the moment of asking.
  struct Gauges {
    int workers, busy, queued, connections;
    std::uint64_t memoryUsed, memoryBudget, logLinesDropped;
    bool ready;
  };
  /// Everything in the Prometheus text format (version 0.0.4).
  std::string text(const Gauges& gauges) const;

private:
  mutable std::mutex mutex_;
  std::map<std::pair<int, std::string>, std::uint64_t> requests_;
  std::array<std::uint64_t, kBuckets.size()> buckets_{};
  std::uint64_t count_ = 0;
  double seconds_ = 0;
  std::uint64_t received_ = 0;
  std::uint64_t sent_ = 0;
};
