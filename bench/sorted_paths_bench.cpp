// Sorted paths on the local engine: building the answer against one
// Dijkstra, the size of the path graph, the iterator against copying the
// edge lists it yields, and k shortest paths on a DAG against igraph.
// Every figure is a ratio to a baseline measured in the same run; the
// ratios are printed after the benchmark table.
#include "KyBenchHeap.h"
#include "KyBenchReporter.h"

#include <kyanalysis/KyPath.h>
#include <kyanalysis/KySortedPathIter.h>
#include <kyanalysis/KySortedPathsInputTailor.h>
#include <kyanalysis/KySortedPathsOutputTailor.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyEdgeDList.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyServiceData.h>

#include <benchmark/benchmark.h>
#include <igraph.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <queue>
#include <random>
#include <string>
#include <vector>

namespace {

// Returns freed memory to the system, so that no benchmark pays for
// consolidating the free lists another one left behind.
void settleHeap() { malloc_trim(0); }

using kybench::peakGrowth;

std::map<std::string, double> figures; // measured once, printed at the end

// A graph with its sorted-paths request, costs on every edge.
struct Request {
  KyGraph graph;
  std::vector<KyNode*> nodes;
  std::vector<KyEdge*> edges;
  std::vector<int> cost;
  KyServiceInputData input;

  void addEdge(int from, int to, int edgeCost) {
    edges.push_back(graph.addEdge(nodes[from], nodes[to]));
    cost.push_back(edgeCost);
  }
  void ask(int start, int finish) {
    KySortedPathsInputTailor tailor(&input);
    tailor.pGraph(&graph);
    tailor.setAsCurrentOperation();
    tailor.pStartNode(nodes[start]);
    tailor.pFinishNode(nodes[finish]);
    for (std::size_t e = 0; e < edges.size(); ++e)
      tailor.cost(edges[e], cost[e]);
  }
};

// A road-like grid of 250 x 400 crossings joined both ways to their
// neighbours, plus short links to reach 400,000 edges; lengths 10 to 100.
// The start and the finish are 140 crossings apart.
constexpr int kRows = 250, kColumns = 400;
Request& roadRequest() {
  static Request* request = [] {
    auto* r = new Request;
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> length(10, 100);
    for (int i = 0; i < kRows * kColumns; ++i)
      r->nodes.push_back(r->graph.addNode());
    const auto at = [](int row, int column) { return row * kColumns + column; };
    for (int row = 0; row < kRows; ++row)
      for (int column = 0; column < kColumns; ++column) {
        if (column + 1 < kColumns) {
          r->addEdge(at(row, column), at(row, column + 1), length(random));
          r->addEdge(at(row, column + 1), at(row, column), length(random));
        }
        if (row + 1 < kRows) {
          r->addEdge(at(row, column), at(row + 1, column), length(random));
          r->addEdge(at(row + 1, column), at(row, column), length(random));
        }
      }
    std::uniform_int_distribution<int> row(0, kRows - 4), column(0, kColumns - 4), step(1, 3);
    while (r->edges.size() < 400000) {
      const int fromRow = row(random), fromColumn = column(random);
      r->addEdge(at(fromRow, fromColumn), at(fromRow + step(random), fromColumn + step(random)),
                 length(random) * 2);
    }
    r->ask(at(100, 150), at(160, 230));
    return r;
  }();
  return *request;
}

// The answer to the road request, made once for the iterator benchmarks.
KyServiceOutputData& roadAnswer() {
  static KyServiceOutputData* answer = [] {
    auto* output = new KyServiceOutputData;
    KyLocalAnalysisService().run(&roadRequest().input, output);
    return output;
  }();
  return *answer;
}

// The baseline: Dijkstra from the finish over the reversed edges, on
// adjacency arrays made beforehand.
struct Reversed {
  std::vector<int> start, source, cost;
  int finish = 0;
};
const Reversed& reversedRoads() {
  static const Reversed reversed = [] {
    const Request& r = roadRequest();
    Reversed g;
    const int n = static_cast<int>(r.nodes.size());
    g.start.assign(n + 1, 0);
    for (KyEdge* e : r.edges)
      ++g.start[e->pTargetNode()->index() + 1];
    for (int v = 0; v < n; ++v)
      g.start[v + 1] += g.start[v];
    g.source.resize(r.edges.size());
    g.cost.resize(r.edges.size());
    std::vector<int> next(g.start.begin(), g.start.end() - 1);
    for (std::size_t e = 0; e < r.edges.size(); ++e) {
      const int slot = next[r.edges[e]->pTargetNode()->index()]++;
      g.source[slot] = r.edges[e]->pSourceNode()->index();
      g.cost[slot] = r.cost[e];
    }
    g.finish = 160 * kColumns + 230;
    return g;
  }();
  return reversed;
}

std::int64_t dijkstra(const Reversed& g) {
  using Entry = std::pair<std::int64_t, int>;
  std::vector<std::int64_t> dist(g.start.size() - 1, INT64_MAX);
  std::vector<int> treeEdge(g.start.size() - 1, -1);
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
  dist[g.finish] = 0;
  queue.emplace(0, g.finish);
  while (!queue.empty()) {
    const auto [d, v] = queue.top();
    queue.pop();
    if (d != dist[v])
      continue;
    for (int i = g.start[v]; i < g.start[v + 1]; ++i)
      if (d + g.cost[i] < dist[g.source[i]]) {
        dist[g.source[i]] = d + g.cost[i];
        treeEdge[g.source[i]] = i;
        queue.emplace(dist[g.source[i]], g.source[i]);
      }
  }
  return dist[0] + treeEdge[0];
}

void BM_RoadDijkstra(benchmark::State& state) {
  settleHeap();
  const Reversed& g = reversedRoads();
  figures["dijkstraPeakBytes"] = static_cast<double>(peakGrowth([&] { dijkstra(g); }));
  for (auto _ : state)
    benchmark::DoNotOptimize(dijkstra(g));
}
BENCHMARK(BM_RoadDijkstra)->Unit(benchmark::kMillisecond);

void BM_RoadBuildAnswer(benchmark::State& state) {
  settleHeap();
  Request& r = roadRequest();
  auto output = std::make_unique<KyServiceOutputData>();
  figures["answerPeakBytes"] = static_cast<double>(
      peakGrowth([&] { KyLocalAnalysisService().run(&r.input, output.get()); }));
  const auto* pathGraph = KyGraph::castDown(output->pValue(nullptr, L"sortedPaths:none:pathGraph"));
  figures["pathGraphNodes"] = pathGraph->numberOfNodes();
  figures["pathGraphEdges"] = pathGraph->numberOfEdges();
  for (auto _ : state) {
    state.PauseTiming();
    output = std::make_unique<KyServiceOutputData>();
    state.ResumeTiming();
    benchmark::DoNotOptimize(KyLocalAnalysisService().run(&r.input, output.get()));
  }
}
BENCHMARK(BM_RoadBuildAnswer)->Unit(benchmark::kMillisecond);

// The first `k` paths of the road answer as flat edges with path offsets.
struct Yielded {
  std::vector<KyEdge*> edges;
  std::vector<std::size_t> ends;
};
const Yielded& firstRoadPaths(int k) {
  static std::map<int, Yielded> made;
  Yielded& y = made[k];
  if (y.ends.empty()) {
    const KySortedPathsOutputTailor tailor(&roadAnswer());
    for (KySortedPathIter paths(&tailor); paths && static_cast<int>(y.ends.size()) < k; ++paths) {
      KyPath* path = paths.pPath();
      for (KyEdgeDListIter it(path->pEdgeList()); it; ++it)
        y.edges.push_back(it.pEdge());
      y.ends.push_back(y.edges.size());
      path->vRelease();
    }
  }
  return y;
}

// Yields k paths and counts their edges.
std::size_t iteratePaths(const KySortedPathsOutputTailor& tailor, int k) {
  std::size_t edges = 0;
  int taken = 0;
  for (KySortedPathIter paths(&tailor); paths && taken < k; ++paths, ++taken) {
    KyPath* path = paths.pPath();
    edges += static_cast<std::size_t>(path->pEdgeList()->length());
    path->vRelease();
  }
  return edges;
}

void BM_RoadIterator(benchmark::State& state) {
  settleHeap();
  const int k = static_cast<int>(state.range(0));
  const KySortedPathsOutputTailor tailor(&roadAnswer());
  const Yielded& y = firstRoadPaths(k);
  figures["pathsYielded/" + std::to_string(k)] = static_cast<double>(y.ends.size());
  figures["edgesYielded/" + std::to_string(k)] = static_cast<double>(y.edges.size());
  figures["iteratorPeakBytes/" + std::to_string(k)] =
      static_cast<double>(peakGrowth([&] { iteratePaths(tailor, k); }));
  for (auto _ : state)
    benchmark::DoNotOptimize(iteratePaths(tailor, k));
  state.counters["edges"] = static_cast<double>(y.edges.size());
}
BENCHMARK(BM_RoadIterator)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The floor: the same edge lists copied into new lists, path by path.
void BM_RoadCopyEdgeLists(benchmark::State& state) {
  settleHeap();
  const Yielded& y = firstRoadPaths(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::size_t begin = 0;
    for (std::size_t end : y.ends) {
      auto* list = new KyEdgeDList;
      for (std::size_t i = begin; i < end; ++i)
        list->appendEdge(y.edges[i]);
      benchmark::DoNotOptimize(list->length());
      list->vRelease();
      begin = end;
    }
  }
}
BENCHMARK(BM_RoadCopyEdgeLists)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A DAG of 1,000 nodes, each joined to the next three, costs 1 to 10.
constexpr int kDagNodes = 1000, kDagPaths = 100;
Request& dagRequest() {
  static Request* request = [] {
    auto* r = new Request;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> cost(1, 10);
    for (int i = 0; i < kDagNodes; ++i)
      r->nodes.push_back(r->graph.addNode());
    for (int i = 0; i < kDagNodes; ++i)
      for (int j = i + 1; j <= i + 3 && j < kDagNodes; ++j)
        r->addEdge(i, j, cost(random));
    r->ask(0, kDagNodes - 1);
    return r;
  }();
  return *request;
}

std::vector<int> engineDagLengths() {
  KyServiceOutputData output;
  KyLocalAnalysisService().run(&dagRequest().input, &output);
  const KySortedPathsOutputTailor tailor(&output);
  std::vector<int> lengths;
  for (KySortedPathIter paths(&tailor); paths && lengths.size() < kDagPaths; ++paths) {
    KyPath* path = paths.pPath();
    lengths.push_back(path->length());
    path->vRelease();
  }
  return lengths;
}

std::vector<int> igraphDagLengths(const igraph_t& graph, const igraph_vector_t& weights) {
  igraph_vector_int_list_t paths;
  igraph_vector_int_list_init(&paths, 0);
  igraph_get_k_shortest_paths(&graph, &weights, nullptr, &paths, kDagPaths, 0, kDagNodes - 1,
                              IGRAPH_OUT);
  std::vector<int> lengths;
  for (igraph_integer_t p = 0; p < igraph_vector_int_list_size(&paths); ++p) {
    const igraph_vector_int_t* path = igraph_vector_int_list_get_ptr(&paths, p);
    double sum = 0;
    for (igraph_integer_t i = 0; i < igraph_vector_int_size(path); ++i)
      sum += VECTOR(weights)[VECTOR(*path)[i]];
    lengths.push_back(static_cast<int>(std::lround(sum)));
  }
  igraph_vector_int_list_destroy(&paths);
  return lengths;
}

struct IgraphDag {
  igraph_t graph;
  igraph_vector_t weights;
  IgraphDag() {
    const Request& r = dagRequest();
    igraph_vector_int_t ends;
    igraph_vector_int_init(&ends, 0);
    for (KyEdge* e : r.edges) {
      igraph_vector_int_push_back(&ends, e->pSourceNode()->index());
      igraph_vector_int_push_back(&ends, e->pTargetNode()->index());
    }
    igraph_create(&graph, &ends, kDagNodes, IGRAPH_DIRECTED);
    igraph_vector_int_destroy(&ends);
    igraph_vector_init(&weights, static_cast<igraph_integer_t>(r.cost.size()));
    for (std::size_t e = 0; e < r.cost.size(); ++e)
      VECTOR(weights)[e] = r.cost[e];
  }
  ~IgraphDag() {
    igraph_vector_destroy(&weights);
    igraph_destroy(&graph);
  }
};

void BM_DagEngine(benchmark::State& state) {
  settleHeap();
  for (auto _ : state)
    benchmark::DoNotOptimize(engineDagLengths());
}
BENCHMARK(BM_DagEngine)->Unit(benchmark::kMillisecond);

void BM_DagIgraph(benchmark::State& state) {
  settleHeap();
  const IgraphDag dag;
  std::vector<int> lengths;
  for (auto _ : state)
    lengths = igraphDagLengths(dag.graph, dag.weights);
  std::vector<int> engine = engineDagLengths();
  std::sort(engine.begin(), engine.end());
  figures["dagLengthsEqual"] = lengths == engine && lengths.size() == kDagPaths ? 1 : 0;
  figures["dagShortest"] = engine.empty() ? -1 : engine.front();
  figures["dagLongest"] = engine.empty() ? -1 : engine.back();
}
BENCHMARK(BM_DagIgraph)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  kybench::CpuTimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& t = reporter.seconds;
  const auto time = [&](const std::string& name) {
    const auto found = t.find(name);
    return found != t.end() ? found->second : NAN;
  };
  const double n = kRows * kColumns, m = 400000;
  std::printf("\nSorted paths, ratios to baselines of this run (CPU time)\n");
  std::printf("  build answer / one Dijkstra, time:        %8.1f (%.1f ms / %.1f ms)\n",
              time("BM_RoadBuildAnswer") / time("BM_RoadDijkstra"),
              1e3 * time("BM_RoadBuildAnswer"), 1e3 * time("BM_RoadDijkstra"));
  std::printf("  build answer / one Dijkstra, peak heap:   %8.1f (%.1f MB / %.1f MB)\n",
              figures["answerPeakBytes"] / figures["dijkstraPeakBytes"],
              figures["answerPeakBytes"] / 1e6, figures["dijkstraPeakBytes"] / 1e6);
  std::printf("  path graph nodes / (m + n log2 n):        %8.3f (%.0f nodes, "
              "%.0f edges)\n",
              figures["pathGraphNodes"] / (m + n * std::log2(n)), figures["pathGraphNodes"],
              figures["pathGraphEdges"]);
  for (int k : {10000, 100000}) {
    const std::string arg = "/" + std::to_string(k);
    const double edges = figures["edgesYielded" + arg];
    std::printf(
        "  iterator / copying edge lists, k=%-6d:   %8.2f (%.1f ns vs "
        "%.1f ns per edge, "
        "%.0f paths, %.0f edges, iterator peak heap %.0f MB)\n",
        k, time("BM_RoadIterator" + arg + "/iterations:1") / time("BM_RoadCopyEdgeLists" + arg),
        1e9 * time("BM_RoadIterator" + arg + "/iterations:1") / edges,
        1e9 * time("BM_RoadCopyEdgeLists" + arg) / edges, figures["pathsYielded" + arg], edges,
        figures["iteratorPeakBytes" + arg] / 1e6);
  }
  std::printf("  DAG k=%d, igraph / engine, time:         %8.1f (%.1f ms / %.2f ms), "
              "lengths %s "
              "(%g to %g)\n",
              kDagPaths, time("BM_DagIgraph/iterations:1") / time("BM_DagEngine"),
              1e3 * time("BM_DagIgraph/iterations:1"), 1e3 * time("BM_DagEngine"),
              figures["dagLengthsEqual"] == 1 ? "equal" : "DIFFER", figures["dagShortest"],
              figures["dagLongest"]);
  benchmark::Shutdown();
  return 0;
}
