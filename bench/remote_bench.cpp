// A real `kyanalyze serve` over loopback against the local engine, measured
// in the same run: requests per second for a 10-node shortest-paths request
// (4 clients, 2 workers), and a shortest-paths request of 10^6 edges sent to
// the service against the local engine plus the cost of its two documents
// (request and answer, each written and read). Times are wall-clock: the
// service's work is done in another process.
#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyShortestPathsInputTailor.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyEdge.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyInt.h>
#include <kyplatform/KyNode.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyServiceData.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include "support/KyServiceProcess.h"

#include <benchmark/benchmark.h>
#include <xercesc/util/PlatformUtils.hpp>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace {

kytest::ServiceProcess* service = nullptr;

/// A shortest-paths request from the first node to the last on `nodes`
/// nodes joined in a chain, plus random edges up to `edges`, every edge
/// with a cost.
struct Request {
  Request(int nodes, int edges) {
    std::mt19937 random(42);
    std::vector<KyNode*> node;
    for (int i = 0; i < nodes; ++i)
      node.push_back(graph.addNode());
    std::vector<KyEdge*> edge;
    for (int i = 0; i + 1 < nodes; ++i)
      edge.push_back(graph.addEdge(node[i], node[i + 1]));
    while (static_cast<int>(edge.size()) < edges)
      edge.push_back(graph.addEdge(node[random() % nodes], node[random() % nodes]));
    KyShortestPathsInputTailor tailor(&input);
    tailor.pGraph(&graph);
    tailor.setAsCurrentOperation();
    tailor.pStartNode(node.front());
    tailor.pFinishNode(node.back());
    for (KyEdge* e : edge)
      tailor.cost(e, 1 + static_cast<int>(random() % 100));
  }
  KyGraph graph;
  KyServiceInputData input;
};

/// A small request of the calling benchmark thread's own: requests are
/// read by the serializer, which must not share them across threads.
Request& small() {
  thread_local Request request(10, 20);
  return request;
}

Request& large() {
  static Request request(250000, 1000000);
  return request;
}

KyRemoteAnalysisService remote() { return KyRemoteAnalysisService(service->wideUrl().c_str()); }

void run(benchmark::State& state, Request& request, bool remotely) {
  const KyRemoteAnalysisService client = remote();
  for (auto _ : state) {
    KyServiceOutputData output;
    const int code = remotely ? client.run(&request.input, &output)
                              : KyLocalAnalysisService().run(&request.input, &output);
    if (code != 0)
      state.SkipWithError("the request was not answered");
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_SmallLocal(benchmark::State& state) { run(state, small(), false); }
void BM_SmallRemote(benchmark::State& state) { run(state, small(), true); }
void BM_LargeLocal(benchmark::State& state) { run(state, large(), false); }
void BM_LargeRemote(benchmark::State& state) { run(state, large(), true); }

/// What the documents of one remote request cost on both sides: the
/// request written by the client and read by the service, the answer
/// written by the service and read by the client.
void BM_LargeDocuments(benchmark::State& state) {
  Request& request = large();
  KyServiceOutputData answer;
  KyLocalAnalysisService().run(&request.input, &answer);
  const KyAnalysisSerializer serializer;
  for (auto _ : state) {
    KyObjectTable clientTable, serviceTable;
    unsigned char* bytes = nullptr;
    unsigned long length = 0;
    serializer.pInputDataToString(&request.input, &clientTable, bytes, &length);
    std::unique_ptr<unsigned char[]> requestText(bytes);
    KyServiceInputData read;
    serializer.pInputDataFromString(requestText.get(), &serviceTable, &read);
    const std::unique_ptr<KyGraph> graph(
        dynamic_cast<KyGraph*>(read.pValue(nullptr, KyAnalysisKey::all::noneGraph)));
    KyServiceOutputData served;
    state.PauseTiming(); // the engine's run is BM_LargeLocal's
    KyLocalAnalysisService().run(&read, &served);
    state.ResumeTiming();
    serializer.pOutputDataToString(&served, &serviceTable, bytes, &length);
    std::unique_ptr<unsigned char[]> answerText(bytes);
    KyServiceOutputData back;
    serializer.pOutputDataFromString(answerText.get(), &clientTable, &back);
  }
}

BENCHMARK(BM_SmallLocal)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_SmallRemote)->Unit(benchmark::kMicrosecond)->UseRealTime()->Threads(4);
BENCHMARK(BM_LargeLocal)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_LargeDocuments)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_LargeRemote)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

/// Prints as the console reporter does and keeps, per benchmark, the
/// wall-clock seconds of one iteration and the requests per second.
class WallTimeReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (!run.error_occurred) {
        seconds[run.run_name.function_name] =
            run.real_accumulated_time / static_cast<double>(run.iterations);
        const auto rate = run.counters.find("items_per_second");
        if (rate != run.counters.end())
          rates[run.run_name.function_name] = rate->second.value;
      }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
  std::map<std::string, double> rates;
};

} // namespace

int main(int argc, char** argv) {
  // Held for the whole run, as a program that documents often should.
  xercesc::XMLPlatformUtils::Initialize();
  benchmark::Initialize(&argc, argv);
  kytest::ServiceProcess process({"--threads", "2"});
  if (!process.ok()) {
    std::fprintf(stderr, "the service did not start:\n%s", process.log().c_str());
    return 1;
  }
  service = &process;
  WallTimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const auto& s = reporter.seconds;
  auto at = [&](const char* name) {
    const auto found = s.find(name);
    return found != s.end() ? found->second : 0.0;
  };
  std::printf("\nRemote against local, wall-clock, this run\n");
  const auto& rates = reporter.rates;
  if (rates.count("BM_SmallLocal") != 0 && rates.count("BM_SmallRemote") != 0)
    std::printf("  10-node shortest paths: %.0f requests/s remote (4 clients, 2 workers), "
                "%.0f/s local on one thread: remote rate %.4f of local\n",
                rates.at("BM_SmallRemote"), rates.at("BM_SmallLocal"),
                rates.at("BM_SmallRemote") / rates.at("BM_SmallLocal"));
  if (at("BM_LargeRemote") > 0 && at("BM_LargeLocal") > 0 && at("BM_LargeDocuments") > 0) {
    const double base = at("BM_LargeLocal") + at("BM_LargeDocuments");
    std::printf("  10^6-edge shortest paths: remote %.0f ms; local %.0f ms + documents %.0f ms"
                " = %.0f ms; HTTP adds %.1f%% (target: at most 20%%)\n",
                1e3 * at("BM_LargeRemote"), 1e3 * at("BM_LargeLocal"),
                1e3 * at("BM_LargeDocuments"), 1e3 * base, 100 * (at("BM_LargeRemote") / base - 1));
  }
  service = nullptr;
  xercesc::XMLPlatformUtils::Terminate();
  return 0;
}
