// A console reporter that also keeps the CPU time of every run, for the
// ratios a benchmark program prints after its table.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace kybench {

/// Prints as the console reporter does and keeps, per benchmark name, the
/// CPU seconds of one iteration (runs that failed are left out). CPU time is
/// steadier than wall time on a shared machine.
class CpuTimeReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (!run.error_occurred)
        seconds[run.benchmark_name()] =
            run.cpu_accumulated_time / static_cast<double>(run.iterations);
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
};

} // namespace kybench
