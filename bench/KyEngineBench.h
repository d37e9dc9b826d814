// Runs analyses of the local engine against the bare library algorithm that
// answers the same question, and prints their ratios. Include it in one
// source file of a benchmark program, after KyBenchHeap.h.
#pragma once

#include "KyBenchHeap.h"
#include "KyBenchReporter.h"

#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyServiceData.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kybench {

/// One analysis: how its request is set on the benchmark's graph, and the
/// bare algorithm alone, on structures built beforehand.
struct EngineCase {
  std::string name;
  std::function<void(KyServiceInputData&)> request;
  std::function<void()> bare;
};

namespace detail {

struct EngineFigures {
  std::map<std::string, double> peakBytes; // measured once per benchmark
  std::map<std::string, int> storedValues; // values of one answer
};
inline EngineFigures& figures() {
  static EngineFigures made;
  return made;
}

// The time of run(): the output data of each run is dropped outside the
// timing. A request the engine does not answer skips the benchmark.
inline void runEngine(benchmark::State& state, const EngineCase& c) {
  KyServiceInputData input;
  c.request(input);
  const KyLocalAnalysisService engine;
  int code = ANALYSIS_ERROR_NONE;
  figures().peakBytes[c.name + "/engine"] = static_cast<double>(peakGrowth([&] {
    KyServiceOutputData output;
    code = engine.run(&input, &output);
    figures().storedValues[c.name] = output.numberOfValues();
  }));
  if (code != ANALYSIS_ERROR_NONE) {
    state.SkipWithError(("the engine answered with code " + std::to_string(code)).c_str());
    return;
  }
  for (auto _ : state) {
    auto output = std::make_unique<KyServiceOutputData>();
    benchmark::DoNotOptimize(engine.run(&input, output.get()));
    state.PauseTiming();
    output.reset();
    state.ResumeTiming();
  }
}

inline void runBare(benchmark::State& state, const EngineCase& c) {
  figures().peakBytes[c.name + "/lemon"] = static_cast<double>(peakGrowth(c.bare));
  for (auto _ : state)
    c.bare();
}

} // namespace detail

/// Registers "<name>/engine" and "<name>/lemon" for every case, runs the
/// benchmarks the command line selects, and prints under `title` the CPU
/// time and peak heap of run() as ratios to the bare algorithm, with the
/// number of values the answer stores. Returns main's exit status.
inline int runEngineCases(int argc, char** argv, const std::vector<EngineCase>& cases,
                          const std::string& title) {
  for (const EngineCase& c : cases) {
    benchmark::RegisterBenchmark((c.name + "/engine").c_str(), detail::runEngine, c)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((c.name + "/lemon").c_str(), detail::runBare, c)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  CpuTimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\nEngine run() / LEMON alone, %s (CPU time; peak heap growth)\n", title.c_str());
  auto& f = detail::figures();
  for (const EngineCase& c : cases) {
    const std::string engine = c.name + "/engine";
    const std::string bare = c.name + "/lemon";
    if (reporter.seconds.count(engine) == 0 || reporter.seconds.count(bare) == 0)
      continue; // filtered out, or not answered
    std::printf("  %-28s time %6.2fx (%8.1f ms / %8.1f ms)   heap %6.2fx (%7.1f MB / %7.1f MB)"
                "   %d values\n",
                c.name.c_str(), reporter.seconds[engine] / reporter.seconds[bare],
                1e3 * reporter.seconds[engine], 1e3 * reporter.seconds[bare],
                f.peakBytes[engine] / f.peakBytes[bare], f.peakBytes[engine] / 1e6,
                f.peakBytes[bare] / 1e6, f.storedValues[c.name]);
  }
  benchmark::Shutdown();
  return 0;
}

} // namespace kybench
