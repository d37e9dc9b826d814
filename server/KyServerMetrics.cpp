#include "KyServerMetrics_p.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

/// The resident memory of this process in bytes, or 0.
std::uint64_t residentBytes() {
  std::ifstream statm("/proc/self/statm");
  std::uint64_t size = 0, resident = 0;
  if (!(statm >> size >> resident))
    return 0;
  return resident * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
}

void family(std::ostringstream& out, const char* name, const char* type, const char* help) {
  out << "# HELP " << name << ' ' << help << "\n# TYPE " << name << ' ' << type << '\n';
}

void gauge(std::ostringstream& out, const char* name, const char* help, std::uint64_t value) {
  family(out, name, "gauge", help);
  out << name << ' ' << value << '\n';
}

} // namespace

void KyServerMetrics::ended(int status, const std::string& analysis, std::chrono::nanoseconds took,
                            std::uint64_t received, std::uint64_t sent) {
  const double seconds = std::chrono::duration<double>(took).count();
  const std::lock_guard<std::mutex> lock(mutex_);
  ++requests_[{status, analysis}];
  for (std::size_t i = 0; i < kBuckets.size(); ++i)
    buckets_[i] += seconds <= kBuckets[i] ? 1 : 0;
  ++count_;
  seconds_ += seconds;
  received_ += received;
  sent_ += sent;
}

std::string KyServerMetrics::text(const Gauges& gauges) const {
  std::ostringstream out;
  const std::lock_guard<std::mutex> lock(mutex_);
  family(out, "kyanalysis_requests_total", "counter",
         "Requests ended, by HTTP status and analysis (- for none).");
  for (const auto& [key, count] : requests_)
    out << "kyanalysis_requests_total{status=\"" << key.first << "\",analysis=\"" << key.second
        << "\"} " << count << '\n';
  family(out, "kyanalysis_request_duration_seconds", "histogram",
         "Time from the end of a request's headers to the end of its answer.");
  for (std::size_t i = 0; i < kBuckets.size(); ++i)
    out << "kyanalysis_request_duration_seconds_bucket{le=\"" << kBuckets[i] << "\"} "
        << buckets_[i] << '\n';
  out << "kyanalysis_request_duration_seconds_bucket{le=\"+Inf\"} " << count_ << '\n'
      << "kyanalysis_request_duration_seconds_sum " << seconds_ << '\n'
      << "kyanalysis_request_duration_seconds_count " << count_ << '\n';
  family(out, "kyanalysis_received_bytes_total", "counter", "Request body bytes received.");
  out << "kyanalysis_received_bytes_total " << received_ << '\n';
  family(out, "kyanalysis_sent_bytes_total", "counter", "Answer body bytes sent.");
  out << "kyanalysis_sent_bytes_total " << sent_ << '\n';
  gauge(out, "kyanalysis_workers", "Workers: requests answered at once.",
        static_cast<std::uint64_t>(gauges.workers));
  gauge(out, "kyanalysis_requests_in_flight", "Requests a worker is answering.",
        static_cast<std::uint64_t>(gauges.busy));
  gauge(out, "kyanalysis_requests_queued", "Requests waiting for a worker.",
        static_cast<std::uint64_t>(gauges.queued));
  gauge(out, "kyanalysis_connections_open", "Connections open.",
        static_cast<std::uint64_t>(gauges.connections));
  gauge(out, "kyanalysis_memory_budget_used_bytes",
        "Memory taken by requests in flight against the budget.", gauges.memoryUsed);
  gauge(out, "kyanalysis_memory_budget_bytes", "The memory budget of requests in flight.",
        gauges.memoryBudget);
  gauge(out, "kyanalysis_resident_memory_bytes", "Resident memory of the process.",
        residentBytes());
  family(out, "kyanalysis_log_lines_dropped_total", "counter",
         "Log lines dropped because the log did not keep up.");
  out << "kyanalysis_log_lines_dropped_total " << gauges.logLinesDropped << '\n';
  gauge(out, "kyanalysis_ready",
        "1 while the service takes requests, 0 while it drains or is full.", gauges.ready ? 1 : 0);
  return out.str();
}
