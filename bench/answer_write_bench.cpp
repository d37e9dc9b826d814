// Writing a large answer, and giving the write up: the all-pairs answer on
// 2,000 nodes (4 x 10^6 pairs, two values each) written whole as the
// answer document, and written under a stop that says yes at its first
// ask, against the engine run that makes the same answer, in this run.
// Every write takes an answer fresh from the engine, as a service writes
// each answer once. Prints the ratios, and the milliseconds from the
// start of a write to the first ask of the stop and to the stopped write's
// return, after the benchmark table.
#include "KyBenchReporter.h"

#include <kyanalysis/KyAllPairsShortestPathsInputTailor.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyServiceData.h>
#include <kyplatform/KyXMLWriteStop.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kNodes = 2000;
constexpr int kEdges = 10000;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A seeded graph whose every node reaches every other, costs 1..100, and
// the all-pairs request on it.
struct Request {
  Request() {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> node(0, kNodes - 1), weight(1, 100);
    std::vector<KyNode*> nodes;
    for (int i = 0; i < kNodes; ++i)
      nodes.push_back(graph.addNode());
    KyAllPairsShortestPathsInputTailor tailor(&input);
    tailor.pGraph(&graph);
    tailor.setAsCurrentOperation();
    for (int i = 0; i < kEdges; ++i) {
      KyNode* from = i < kNodes ? nodes[i] : nodes[node(random)];
      KyNode* to = i < kNodes ? nodes[(i + 1) % kNodes] : nodes[node(random)];
      tailor.cost(graph.addEdge(from, to), weight(random));
    }
  }
  KyGraph graph;
  KyServiceInputData input;
};

Request& request() {
  static Request made;
  return made;
}

std::unique_ptr<KyServiceOutputData> answer(benchmark::State& state) {
  auto output = std::make_unique<KyServiceOutputData>();
  if (KyLocalAnalysisService().run(&request().input, output.get()) != ANALYSIS_ERROR_NONE)
    state.SkipWithError("the engine gave no answer");
  return output;
}

// The write of `output` as an answer document; 1 when written.
int write(KyServiceOutputData& output) {
  KyObjectTable table;
  unsigned char* bytes = nullptr;
  unsigned long length = 0;
  const int wrote = KyAnalysisSerializer().pOutputDataToString(&output, &table, bytes, &length);
  delete[] bytes;
  return wrote;
}

struct Figures {
  std::vector<double> firstAsk, stopped; // milliseconds, per write
};
Figures& figures() {
  static Figures made;
  return made;
}

double median(std::vector<double> values) {
  if (values.empty())
    return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void engineRun(benchmark::State& state) {
  for (auto _ : state) {
    auto output = answer(state);
    state.PauseTiming();
    output.reset();
    state.ResumeTiming();
  }
}

void fullWrite(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto output = answer(state);
    state.ResumeTiming();
    if (write(*output) != 1)
      state.SkipWithError("the answer was not written");
    // Values the write made go with the answer: part of the write's cost.
    output.reset();
  }
}

void stoppedWrite(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto output = answer(state);
    state.ResumeTiming();
    const Clock::time_point start = Clock::now();
    double firstAsk = -1;
    {
      const KyXMLWriteStop stop([&] {
        if (firstAsk < 0)
          firstAsk = millisecondsSince(start);
        return true;
      });
      if (write(*output) != 0)
        state.SkipWithError("the stopped write went on");
    }
    figures().stopped.push_back(millisecondsSince(start));
    figures().firstAsk.push_back(firstAsk);
    output.reset();
  }
}

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  request();
  benchmark::RegisterBenchmark("allPairs/engineRun", engineRun)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3);
  benchmark::RegisterBenchmark("allPairs/fullWrite", fullWrite)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3);
  benchmark::RegisterBenchmark("allPairs/stoppedWrite", stoppedWrite)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3);
  kybench::CpuTimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& seconds = reporter.seconds;
  const auto engine = seconds.find("allPairs/engineRun/iterations:3");
  const auto full = seconds.find("allPairs/fullWrite/iterations:3");
  const auto stopped = seconds.find("allPairs/stoppedWrite/iterations:3");
  if (engine == seconds.end() || full == seconds.end() || stopped == seconds.end())
    return 0;
  std::printf("\nAll-pairs answer on %d nodes:\n", kNodes);
  std::printf("  full write %.2fx the engine run (%.0f ms against %.0f ms)\n",
              full->second / engine->second, full->second * 1e3, engine->second * 1e3);
  std::printf("  stopped write %.3fx the engine run; first stop ask after %.1f ms, "
              "stopped write returned after %.1f ms (medians)\n",
              stopped->second / engine->second, median(figures().firstAsk),
              median(figures().stopped));
  benchmark::Shutdown();
  return 0;
}
