// Cycle-breaking edge detection on one strongly connected component of k
// nodes (a cycle through all of them plus 2k random edges): proof and
// medium quality as ratios to draft quality on the same graph, measured in
// the same run. Proof solves such a component exactly up to 20 nodes, and
// the absolute proof times show it finishes within a second there; at 24
// nodes it falls back on medium.
#include "KyBenchReporter.h"

#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyCycleBreakingEdgeDetectionInputTailor.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

const int kSizes[] = {12, 16, 18, 20, 24};
const char* const kQualities[] = {"draft", "medium", "proof"};

void breakCycles(benchmark::State& state, int nodes, int quality) {
  KyGraph graph;
  std::vector<KyNode*> node;
  for (int i = 0; i < nodes; ++i)
    node.push_back(graph.addNode());
  std::mt19937 random(static_cast<unsigned>(nodes));
  for (int i = 0; i < nodes; ++i)
    graph.addEdge(node[i], node[(i + 1) % nodes]);
  for (int e = 0; e < 2 * nodes; ++e)
    graph.addEdge(node[random() % nodes], node[random() % nodes]);
  KyServiceInputData input;
  KyCycleBreakingEdgeDetectionInputTailor request(&input);
  request.pGraph(&graph);
  request.setAsCurrentOperation();
  request.quality(static_cast<KyCycleBreakingQualityEnum>(quality));
  for (auto _ : state) {
    KyServiceOutputData output;
    benchmark::DoNotOptimize(KyLocalAnalysisService().run(&input, &output));
  }
}

std::string name(int nodes, int quality) {
  return "cycleBreaking/" + std::string(kQualities[quality]) + "/" + std::to_string(nodes);
}

} // namespace

int main(int argc, char** argv) {
  for (const int nodes : kSizes)
    for (int quality = 0; quality < 3; ++quality)
      benchmark::RegisterBenchmark(name(nodes, quality).c_str(), breakCycles, nodes, quality)
          ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  kybench::CpuTimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\nOne component of k nodes and 3k edges, ratio to draft (CPU time)\n");
  for (const int nodes : kSizes) {
    if (reporter.seconds.count(name(nodes, 0)) == 0)
      continue;
    const double draft = reporter.seconds[name(nodes, 0)];
    std::printf("  k = %2d   medium %8.1fx   proof %10.1fx (%8.2f ms)\n", nodes,
                reporter.seconds[name(nodes, 1)] / draft, reporter.seconds[name(nodes, 2)] / draft,
                1e3 * reporter.seconds[name(nodes, 2)]);
  }
  benchmark::Shutdown();
  return 0;
}
