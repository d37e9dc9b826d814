// Reading an edge list of 1,000,000 edges with costs between 100,000 named
// nodes ("n123 n456 789", seeded) into a graph with its cost column, against
// igraph's reader of the same "name name weight" format (igraph_read_graph_ncol
// with names and weights) on the same text, both from memory. A second row
// also builds the shortest-paths request from the columns, as `kyanalyze run`
// does. Times are ratios to igraph measured in the same run (CPU time),
// printed after the benchmark table with the peak heap per edge of ours
// (igraph allocates through malloc, which the counter does not see).
#include "KyBenchHeap.h"
#include "KyBenchReporter.h"

#include <kyanalysis/KyAnalysisEnums.h>
#include <kyformats/KyAnalysisRequest.h>
#include <kyformats/KyEdgeListReader.h>

#include <benchmark/benchmark.h>
#include <igraph.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kNodes = 100000;
constexpr int kEdges = 1000000;

const std::string& edgeList() {
  static const std::string text = [] {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> node(0, kNodes - 1), cost(1, 1000);
    std::string made;
    for (int e = 0; e < kEdges; ++e)
      made += "n" + std::to_string(node(random)) + " n" + std::to_string(node(random)) + " " +
              std::to_string(cost(random)) + "\n";
    return made;
  }();
  return text;
}

std::map<std::string, double> figures; // peak heap, measured once

void BM_EdgeListRead(benchmark::State& state) {
  const bool request = state.range(0) == 1;
  edgeList();
  for (auto _ : state) {
    // The text is copied as reading a file into memory would; the graph and
    // the request go untimed, as igraph's graph does.
    auto input = std::make_unique<KyGraphData>();
    auto made = std::make_unique<KyAnalysisRequest>();
    std::string error;
    const std::int64_t peak = kybench::peakGrowth([&] {
      if (!KyEdgeListReader().read(edgeList(), "bench", *input, error) ||
          input->graph->numberOfEdges() != kEdges ||
          (request && !made->start(OPERATION_SHORTEST_PATHS, std::move(*input), error)))
        std::abort();
    });
    figures[request ? "requestPeak" : "readPeak"] = static_cast<double>(peak);
    state.PauseTiming();
    made.reset();
    input.reset();
    state.ResumeTiming();
  }
}

void BM_IgraphNcol(benchmark::State& state) {
  const std::string& text = edgeList();
  for (auto _ : state) {
    FILE* in = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    igraph_t graph;
    if (igraph_read_graph_ncol(&graph, in, nullptr, true, IGRAPH_ADD_WEIGHTS_YES, true) !=
            IGRAPH_SUCCESS ||
        igraph_ecount(&graph) != kEdges)
      std::abort();
    std::fclose(in);
    state.PauseTiming();
    igraph_destroy(&graph);
    state.ResumeTiming();
  }
}

BENCHMARK(BM_EdgeListRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IgraphNcol)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  kybench::CpuTimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto time = [&](const std::string& name) {
    const auto found = reporter.seconds.find(name + "/iterations:3");
    return found != reporter.seconds.end() ? found->second : NAN;
  };
  const double igraph = time("BM_IgraphNcol");
  const double read = time("BM_EdgeListRead/0"), request = time("BM_EdgeListRead/1");
  std::printf("\nEdge list of %d edges with costs, ratios to igraph's ncol reader of this run "
              "(CPU time)\n",
              kEdges);
  std::printf("  igraph: %.0f ms (%.0f ns per edge)\n", 1e3 * igraph, 1e9 * igraph / kEdges);
  std::printf("  read into a graph with its cost column / igraph's: %5.2f (%.0f ms, peak heap "
              "%.0f B per edge)\n",
              read / igraph, 1e3 * read, figures["readPeak"] / kEdges);
  std::printf("  read and the request built        / igraph's: %5.2f (%.0f ms, peak heap "
              "%.0f B per edge)\n",
              request / igraph, 1e3 * request, figures["requestPeak"] / kEdges);
  benchmark::Shutdown();
  return 0;
}
