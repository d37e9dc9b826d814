// A request as a base-64 string and back (KyAnalysisSerializer) against
// igraph's GraphML writer and reader on the same graph with the same
// attributes: 100,000 nodes and 400,000 edges of a seeded random graph, a
// cost on every node and on every edge. A clustering request on the same
// graph adds 1,000 constraints of 10 nodes. Both sides write to memory and
// read from memory. Every figure is a ratio to igraph measured in the same
// run (CPU time, peak heap, bytes), printed after the benchmark table.
#include "KyBenchReporter.h"

#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyClusteringInputTailor.h>
#include <kyanalysis/KyRootCauseInputTailor.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyNodeDList.h>
#include <kyplatform/KyServiceData.h>

#include <benchmark/benchmark.h>
#include <igraph.h>
#include <malloc.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

// Heap in use with its peak, counted at the C allocator so that igraph,
// libxml2, Xerces and C++ allocations all count alike.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {
std::atomic<std::int64_t> liveBytes{0};
std::atomic<std::int64_t> peakBytes{0};

void counted(std::int64_t change) {
  const std::int64_t live = liveBytes.fetch_add(change) + change;
  std::int64_t peak = peakBytes.load();
  while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
  }
}
std::int64_t sizeOf(void* block) {
  return block != nullptr ? static_cast<std::int64_t>(malloc_usable_size(block)) : 0;
}
void* added(void* block) {
  counted(sizeOf(block));
  return block;
}
} // namespace

extern "C" {
void* malloc(std::size_t size) noexcept { return added(__libc_malloc(size)); }
void* calloc(std::size_t count, std::size_t size) noexcept {
  return added(__libc_calloc(count, size));
}
void* realloc(void* block, std::size_t size) noexcept {
  const std::int64_t before = sizeOf(block);
  void* moved = __libc_realloc(block, size);
  if (moved != nullptr || size == 0)
    counted(sizeOf(moved) - before);
  return moved;
}
void free(void* block) noexcept {
  counted(-sizeOf(block));
  __libc_free(block);
}
void* memalign(std::size_t alignment, std::size_t size) noexcept {
  return added(__libc_memalign(alignment, size));
}
void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
  return added(__libc_memalign(alignment, size));
}
int posix_memalign(void** block, std::size_t alignment, std::size_t size) noexcept {
  void* made = __libc_memalign(alignment, size);
  if (made == nullptr)
    return ENOMEM;
  *block = added(made);
  return 0;
}
}

namespace {
constexpr int kNodes = 100000;
constexpr int kEdges = 400000;
constexpr int kConstraints = 1000;
constexpr int kConstraintNodes = 10;

// Peak heap growth while `work` runs, over what was in use before.
std::int64_t peakGrowth(const std::function<void()>& work) {
  malloc_trim(0);
  const std::int64_t before = liveBytes.load();
  peakBytes.store(before);
  work();
  return peakBytes.load() - before;
}

std::map<std::string, double> figures; // measured once, printed at the end

// The graph, its costs and the two requests on it, and the same graph with
// the same costs as an igraph graph with numeric attributes "cost".
struct Fixture {
  KyGraph graph;
  KyServiceInputData costs;      // root cause: a cost on every node and edge
  KyServiceInputData clustering; // costs and weights, and the constraints
  igraph_t igraph;

  Fixture() {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> pick(0, kNodes - 1);
    std::uniform_int_distribution<int> cost(1, 1000);
    std::vector<KyNode*> nodes;
    std::vector<int> nodeCost;
    for (int i = 0; i < kNodes; ++i) {
      nodes.push_back(graph.addNode());
      nodeCost.push_back(cost(random));
    }
    std::vector<int> ends;
    std::vector<int> edgeCost;
    std::vector<KyEdge*> edges;
    for (int i = 0; i < kEdges; ++i) {
      const int from = pick(random), to = pick(random);
      ends.push_back(from);
      ends.push_back(to);
      edges.push_back(graph.addEdge(nodes[from], nodes[to]));
      edgeCost.push_back(cost(random));
    }

    KyRootCauseInputTailor rootCause(&costs);
    rootCause.pGraph(&graph);
    rootCause.setAsCurrentOperation();
    KyClusteringInputTailor cluster(&clustering);
    cluster.pGraph(&graph);
    cluster.setAsCurrentOperation();
    for (int i = 0; i < kNodes; ++i) {
      rootCause.cost(nodes[i], nodeCost[i]);
      cluster.weight(nodes[i], nodeCost[i]);
    }
    for (int i = 0; i < kEdges; ++i) {
      rootCause.cost(edges[i], edgeCost[i]);
      cluster.cost(edges[i], edgeCost[i]);
    }
    for (int i = 0; i < kConstraints; ++i) {
      KyNodeDList members;
      for (int j = 0; j < kConstraintNodes; ++j)
        members.appendNode(nodes[pick(random)]);
      cluster.addSameClusterConstraint(&members)->priority(i % 3);
    }

    igraph_set_attribute_table(&igraph_cattribute_table);
    igraph_vector_int_t edgeList;
    igraph_vector_int_init(&edgeList, static_cast<igraph_integer_t>(ends.size()));
    for (std::size_t i = 0; i < ends.size(); ++i)
      VECTOR(edgeList)[i] = ends[i];
    igraph_create(&igraph, &edgeList, kNodes, IGRAPH_DIRECTED);
    igraph_vector_int_destroy(&edgeList);
    igraph_vector_t values;
    igraph_vector_init(&values, kNodes);
    for (int i = 0; i < kNodes; ++i)
      VECTOR(values)[i] = nodeCost[i];
    SETVANV(&igraph, "cost", &values);
    igraph_vector_resize(&values, kEdges);
    for (int i = 0; i < kEdges; ++i)
      VECTOR(values)[i] = edgeCost[i];
    SETEANV(&igraph, "cost", &values);
    igraph_vector_destroy(&values);
  }
  ~Fixture() { igraph_destroy(&igraph); }
};

Fixture& fixture() {
  static Fixture instance;
  return instance;
}

KyServiceInputData& request(int which) {
  return which == 0 ? fixture().costs : fixture().clustering;
}
const char* requestName(int which) { return which == 0 ? "costs" : "clustering"; }

std::string toString(KyServiceInputData& data) {
  unsigned char* bytes = nullptr;
  unsigned long length = 0;
  if (KyAnalysisSerializer().pInputDataToString(&data, nullptr, bytes, &length) == 0)
    std::abort();
  const std::unique_ptr<unsigned char[]> owned(bytes);
  return std::string(reinterpret_cast<const char*>(bytes), length);
}

void BM_ToString(benchmark::State& state) {
  KyServiceInputData& data = request(static_cast<int>(state.range(0)));
  std::string text;
  for (auto _ : state)
    figures[std::string("toStringPeak/") + requestName(static_cast<int>(state.range(0)))] =
        static_cast<double>(peakGrowth([&] { text = toString(data); }));
  figures[std::string("stringBytes/") + requestName(static_cast<int>(state.range(0)))] =
      static_cast<double>(text.size());
}

void BM_FromString(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const std::string text = toString(request(which));
  for (auto _ : state) {
    auto data = std::make_unique<KyServiceInputData>();
    figures[std::string("fromStringPeak/") + requestName(which)] =
        static_cast<double>(peakGrowth([&] {
          if (KyAnalysisSerializer().pInputDataFromString(
                  reinterpret_cast<const unsigned char*>(text.c_str()), nullptr, data.get()) == 0)
            std::abort();
        }));
    state.PauseTiming();
    std::unique_ptr<KyGraph> graph(
        dynamic_cast<KyGraph*>(data->pValue(nullptr, L"all:none:graph")));
    data.reset();
    graph.reset();
    state.ResumeTiming();
  }
}

std::string graphML() {
  char* buffer = nullptr;
  std::size_t size = 0;
  FILE* out = open_memstream(&buffer, &size);
  if (out == nullptr || igraph_write_graph_graphml(&fixture().igraph, out, true) != IGRAPH_SUCCESS)
    std::abort();
  std::fclose(out);
  std::string text(buffer, size);
  std::free(buffer);
  return text;
}

void BM_GraphMLWrite(benchmark::State& state) {
  fixture();
  std::string text;
  for (auto _ : state)
    figures["graphMLWritePeak"] = static_cast<double>(peakGrowth([&] { text = graphML(); }));
  figures["graphMLBytes"] = static_cast<double>(text.size());
}

void BM_GraphMLRead(benchmark::State& state) {
  std::string text = graphML();
  for (auto _ : state) {
    igraph_t graph;
    figures["graphMLReadPeak"] = static_cast<double>(peakGrowth([&] {
      FILE* in = fmemopen(text.data(), text.size(), "r");
      if (in == nullptr || igraph_read_graph_graphml(&graph, in, 0) != IGRAPH_SUCCESS)
        std::abort();
      std::fclose(in);
    }));
    state.PauseTiming();
    if (igraph_vcount(&graph) != kNodes || igraph_ecount(&graph) != kEdges)
      std::abort();
    igraph_destroy(&graph);
    state.ResumeTiming();
  }
}

BENCHMARK(BM_ToString)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_FromString)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_GraphMLWrite)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_GraphMLRead)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  kybench::CpuTimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto time = [&](const std::string& name) {
    const auto found = reporter.seconds.find(name + "/iterations:2");
    return found != reporter.seconds.end() ? found->second : NAN;
  };
  const double write = time("BM_GraphMLWrite"), read = time("BM_GraphMLRead");
  const double writePeak = figures["graphMLWritePeak"], readPeak = figures["graphMLReadPeak"];
  constexpr double kElements = kNodes + kEdges;
  std::printf("\nRequest round trip, ratios to igraph GraphML of this run (CPU time, peak heap)\n");
  std::printf("  igraph: write %.0f ms, read %.0f ms, %.1f MB; peak heap per element "
              "write %.0f B, read %.0f B\n",
              1e3 * write, 1e3 * read, figures["graphMLBytes"] / 1e6, writePeak / kElements,
              readPeak / kElements);
  for (int which = 0; which < 2; ++which) {
    const std::string name = requestName(which);
    const double to = time("BM_ToString/" + std::to_string(which));
    const double from = time("BM_FromString/" + std::to_string(which));
    const double toPeak = figures["toStringPeak/" + name];
    const double fromPeak = figures["fromStringPeak/" + name];
    std::printf("  %-10s round trip / igraph's: %5.2f (%.0f ms + %.0f ms)\n", name.c_str(),
                (to + from) / (write + read), 1e3 * to, 1e3 * from);
    std::printf("  %-10s to string / write:     %5.2f time, %5.2f peak heap (%.0f B per "
                "element)\n",
                name.c_str(), to / write, toPeak / writePeak, toPeak / kElements);
    std::printf("  %-10s from string / read:    %5.2f time, %5.2f peak heap (%.0f B per "
                "element)\n",
                name.c_str(), from / read, fromPeak / readPeak, fromPeak / kElements);
    std::printf("  %-10s string bytes / GraphML: %5.2f (%.1f MB)\n", name.c_str(),
                figures["stringBytes/" + name] / figures["graphMLBytes"],
                figures["stringBytes/" + name] / 1e6);
  }
  benchmark::Shutdown();
  return 0;
}
