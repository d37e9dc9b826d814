// Cost of keeping one integer option per edge through an input tailor,
// against a plain std::unordered_map keyed by (owner pointer, key id) holding
// ints, both measured in this run on the same 1,000,000 edges. Prints the
// ratios (tailor / baseline) and the bytes each stored option takes. Each
// figure is the median of five repetitions, run in random order among the
// others' so that a slow spell of the machine falls on both sides alike.
#include <kyanalysis/kyanalysis.h>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

namespace {
constexpr int kEdges = 1000000;
constexpr int kNodes = 100000;

// The graph and its edges in list order, made once for every benchmark.
struct Fixture {
  Fixture() {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> pick(0, kNodes - 1);
    std::vector<KyNode*> nodes;
    for (int i = 0; i < kNodes; ++i)
      nodes.push_back(graph.addNode());
    for (int i = 0; i < kEdges; ++i)
      edges.push_back(graph.addEdge(nodes[pick(random)], nodes[pick(random)]));
  }
  KyGraph graph;
  std::vector<KyEdge*> edges;
};

Fixture& fixture() {
  static Fixture instance;
  return instance;
}

struct OwnerKey {
  const void* owner;
  int key;
  bool operator==(const OwnerKey& other) const { return owner == other.owner && key == other.key; }
};
struct OwnerKeyHash {
  std::size_t operator()(const OwnerKey& k) const {
    return std::hash<const void*>()(k.owner) * 31u + static_cast<std::size_t>(k.key);
  }
};
using Baseline = std::unordered_map<OwnerKey, int, OwnerKeyHash>;
constexpr int kCostKeyId = 7;

// Heap in use, large blocks served by mmap included.
std::size_t heapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

void fillTailor(KyShortestPathsInputTailor& tailor) {
  int cost = 0;
  for (KyEdge* edge : fixture().edges)
    tailor.cost(edge, ++cost);
}

void fillBaseline(Baseline& map) {
  int cost = 0;
  for (KyEdge* edge : fixture().edges)
    map[OwnerKey{edge, kCostKeyId}] = ++cost;
}

void BM_Store_Tailor(benchmark::State& state) {
  fixture();
  std::size_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto data = std::make_unique<KyServiceInputData>();
    KyShortestPathsInputTailor tailor(data.get());
    tailor.pGraph(&fixture().graph);
    const std::size_t before = heapInUse();
    state.ResumeTiming();
    fillTailor(tailor);
    state.PauseTiming();
    bytes = heapInUse() - before;
    data.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kEdges);
  state.counters["bytes_per_option"] = static_cast<double>(bytes) / kEdges;
}

void BM_Store_Baseline(benchmark::State& state) {
  fixture();
  std::size_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto map = std::make_unique<Baseline>();
    const std::size_t before = heapInUse();
    state.ResumeTiming();
    fillBaseline(*map);
    state.PauseTiming();
    bytes = heapInUse() - before;
    map.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kEdges);
  state.counters["bytes_per_option"] = static_cast<double>(bytes) / kEdges;
}

void BM_Read_Tailor(benchmark::State& state) {
  KyServiceInputData data;
  KyShortestPathsInputTailor tailor(&data);
  tailor.pGraph(&fixture().graph);
  fillTailor(tailor);
  for (auto _ : state) {
    long sum = 0;
    for (KyEdge* edge : fixture().edges)
      sum += tailor.cost(edge);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kEdges);
}

void BM_Read_Baseline(benchmark::State& state) {
  Baseline map;
  fillBaseline(map);
  for (auto _ : state) {
    long sum = 0;
    for (KyEdge* edge : fixture().edges)
      sum += map.find(OwnerKey{edge, kCostKeyId})->second;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kEdges);
}

BENCHMARK(BM_Store_Tailor)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5);
BENCHMARK(BM_Store_Baseline)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5);
BENCHMARK(BM_Read_Tailor)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5);
BENCHMARK(BM_Read_Baseline)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5);

// Keeps each repetition's CPU time per option and bytes per option for the
// summary, which gives their medians.
class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration)
        continue;
      // CPU time: steadier than wall time on a machine shared with builds.
      const double ns = run.GetAdjustedCPUTime() * 1e6 / kEdges; // ms per iteration
      nsPerOption_[run.run_name.function_name].push_back(ns);
      const auto bytes = run.counters.find("bytes_per_option");
      if (bytes != run.counters.end())
        bytesPerOption_[run.run_name.function_name].push_back(bytes->second.value);
    }
  }
  void summarize() const {
    for (const char* name :
         {"BM_Store_Tailor", "BM_Store_Baseline", "BM_Read_Tailor", "BM_Read_Baseline"})
      if (nsPerOption_.count(name) == 0)
        return; // a filtered run has nothing to compare
    std::printf("\n%-8s %14s %14s %8s\n", "", "tailor ns/op", "baseline ns/op", "ratio");
    for (const char* what : {"Store", "Read"}) {
      const double tailor = median(nsPerOption_.at(std::string("BM_") + what + "_Tailor"));
      const double base = median(nsPerOption_.at(std::string("BM_") + what + "_Baseline"));
      std::printf("%-8s %14.1f %14.1f %7.2fx\n", what, tailor, base, tailor / base);
    }
    std::printf("bytes per stored option: tailor %.1f, baseline %.1f\n",
                median(bytesPerOption_.at("BM_Store_Tailor")),
                median(bytesPerOption_.at("BM_Store_Baseline")));
  }

private:
  static double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
  }

  std::map<std::string, std::vector<double>> nsPerOption_;
  std::map<std::string, std::vector<double>> bytesPerOption_;
};
} // namespace

int main(int argc, char** argv) {
  // Repetitions in random order; a flag given on the command line wins.
  std::vector<char*> args(argv, argv + argc);
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.summarize();
  benchmark::Shutdown();
  return 0;
}
