// Results keyed by pairs of nodes, as all-pairs shortest paths stores them:
// 20,000 diagonal pairs (x, x) against 20,000 off-diagonal pairs (x, y) of
// the same nodes, each result stored under a pair the output data takes
// over and read back through a fresh equal pair. The ratio is printed after
// the benchmark table.
#include "KyBenchReporter.h"

#include <kyanalysis/KyPair.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kPairs = 20000;
const wchar_t* const kKey = L"allPairsShortestPaths:(KyNode,KyNode):totalCost";

struct Nodes {
  Nodes() {
    for (int i = 0; i < kPairs; ++i)
      nodes.push_back(graph.addNode());
  }
  KyGraph graph;
  std::vector<KyNode*> nodes;
};
const Nodes& nodes() {
  static const Nodes made;
  return made;
}

// Stores one result per pair (x, x + offset), then reads them all back.
long storeAndRead(int offset) {
  const std::vector<KyNode*>& n = nodes().nodes;
  auto output = std::make_unique<KyServiceOutputData>();
  for (int i = 0; i < kPairs; ++i)
    output->setValue(new KyPair(n[i], n[(i + offset) % kPairs]), kKey, new KyInt(i), 1, 1);
  long sum = 0;
  for (int i = 0; i < kPairs; ++i) {
    const KyPair lookup(n[i], n[(i + offset) % kPairs]);
    sum += output->getValueAsInteger(&lookup, kKey);
  }
  return sum;
}

void BM_DiagonalPairs(benchmark::State& state) {
  nodes();
  for (auto _ : state)
    benchmark::DoNotOptimize(storeAndRead(0));
}
BENCHMARK(BM_DiagonalPairs)->Unit(benchmark::kMillisecond);

void BM_OffDiagonalPairs(benchmark::State& state) {
  nodes();
  for (auto _ : state)
    benchmark::DoNotOptimize(storeAndRead(1));
}
BENCHMARK(BM_OffDiagonalPairs)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  kybench::CpuTimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& t = reporter.seconds;
  if (t.count("BM_DiagonalPairs") != 0 && t.count("BM_OffDiagonalPairs") != 0)
    std::printf("\nPair owners, %d results stored and read back (CPU time)\n"
                "  diagonal / off-diagonal pairs:  %8.2fx (%.1f ms / %.1f ms)\n",
                kPairs, t.at("BM_DiagonalPairs") / t.at("BM_OffDiagonalPairs"),
                1e3 * t.at("BM_DiagonalPairs"), 1e3 * t.at("BM_OffDiagonalPairs"));
  benchmark::Shutdown();
  return 0;
}
