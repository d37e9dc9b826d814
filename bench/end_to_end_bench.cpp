// kyanalyze against igraph on the same task, as whole processes: a seeded
// edge list of 1,000,000 edges between 200,000 named nodes with costs 1 to
// 100 is read and the cheapest path between two of its nodes is found, by
// `kyanalyze run shortestPaths` and by igraph's name-and-weight edge-list
// reader plus its Dijkstra (bench/helpers/igraph_dijkstra). Each run is one
// child process; its CPU time (user and system) and peak resident set come
// from the kernel. The ratios are printed after the benchmark table.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kNodes = 200000;
constexpr int kEdges = 1000000;
const char* const kStart = "n0";
const char* const kFinish = "n199999";

// The edge list, written once into a temporary file and removed at exit.
class EdgeListFile {
public:
  EdgeListFile() {
    char pattern[] = "/tmp/ky-end-to-end-XXXXXX";
    const int descriptor = mkstemp(pattern);
    path_ = pattern;
    std::FILE* file = fdopen(descriptor, "w");
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> node(0, kNodes - 1), cost(1, 100);
    // The first edges leave every node once, so that all of them are named.
    for (int i = 0; i < kEdges; ++i) {
      const int from = i < kNodes ? i : node(random);
      const int to = node(random);
      std::fprintf(file, "n%d n%d %d\n", from, to, cost(random));
    }
    bytes_ = std::ftell(file);
    std::fclose(file);
  }
  ~EdgeListFile() { std::remove(path_.c_str()); }
  EdgeListFile(const EdgeListFile&) = delete;
  EdgeListFile& operator=(const EdgeListFile&) = delete;

  const std::string& path() const { return path_; }
  long bytes() const { return bytes_; }

private:
  std::string path_;
  long bytes_ = 0;
};

const EdgeListFile& edgeList() {
  static const EdgeListFile file;
  return file;
}

// What one child process cost, and what it printed.
struct ProcessRun {
  bool exited = false;
  double cpuSeconds = 0;
  double wallSeconds = 0;
  double peakBytes = 0;
  std::string out;
};

ProcessRun runProcess(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::FILE* out = std::tmpfile();
  ProcessRun run;
  timespec begin{}, end{};
  clock_gettime(CLOCK_MONOTONIC, &begin);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fileno(out), STDOUT_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
    clock_gettime(CLOCK_MONOTONIC, &end);
    run.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    run.wallSeconds = (end.tv_sec - begin.tv_sec) + (end.tv_nsec - begin.tv_nsec) / 1e9;
    run.peakBytes = usage.ru_maxrss * 1024.0;
  }
  std::rewind(out);
  for (int c; (c = std::fgetc(out)) != EOF;)
    run.out += static_cast<char>(c);
  std::fclose(out);
  return run;
}

// Per side: the least CPU time, wall time and peak of its runs, and the cost
// it printed.
struct Side {
  double cpuSeconds = 1e300, wallSeconds = 1e300, peakBytes = 0;
  std::string cost;
};
std::map<std::string, Side> sides;

void runSide(benchmark::State& state, const std::string& name, const std::vector<std::string>& args,
             std::string (*costOf)(const std::string&)) {
  edgeList();
  Side& side = sides[name];
  for (auto _ : state) {
    const ProcessRun run = runProcess(args);
    if (!run.exited) {
      state.SkipWithError((name + " failed").c_str());
      return;
    }
    state.SetIterationTime(run.cpuSeconds);
    side.cpuSeconds = std::min(side.cpuSeconds, run.cpuSeconds);
    side.wallSeconds = std::min(side.wallSeconds, run.wallSeconds);
    side.peakBytes = std::max(side.peakBytes, run.peakBytes);
    side.cost = costOf(run.out);
  }
}

// kyanalyze prints "totalCost: N" on a line of its own.
std::string kyanalyzeCost(const std::string& out) {
  const std::string label = "totalCost: ";
  const std::size_t at = out.find(label);
  return at == std::string::npos
             ? "?"
             : out.substr(at + label.size(), out.find('\n', at) - at - label.size());
}

std::string igraphCost(const std::string& out) { return out.substr(0, out.find('\n')); }

void BM_Kyanalyze(benchmark::State& state) {
  runSide(state, "kyanalyze",
          {KY_KYANALYZE, "run", "shortestPaths", "--graph", edgeList().path(), "--set",
           std::string("startNode=") + kStart, "--set", std::string("finishNode=") + kFinish},
          kyanalyzeCost);
}
BENCHMARK(BM_Kyanalyze)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_Igraph(benchmark::State& state) {
  runSide(state, "igraph", {KY_IGRAPH_DIJKSTRA, edgeList().path(), kStart, kFinish}, igraphCost);
}
BENCHMARK(BM_Igraph)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  if (sides.count("kyanalyze") != 0 && sides.count("igraph") != 0) {
    const Side& ky = sides["kyanalyze"];
    const Side& ig = sides["igraph"];
    std::printf("\nkyanalyze run shortestPaths / igraph reader plus Dijkstra, %d edges between "
                "%d named nodes (%.1f MB), whole processes, best of each\n",
                kEdges, kNodes, edgeList().bytes() / 1e6);
    std::printf("  CPU time:   %6.2fx (%.2f s / %.2f s)\n", ky.cpuSeconds / ig.cpuSeconds,
                ky.cpuSeconds, ig.cpuSeconds);
    std::printf("  wall time:  %6.2fx (%.2f s / %.2f s)\n", ky.wallSeconds / ig.wallSeconds,
                ky.wallSeconds, ig.wallSeconds);
    std::printf("  peak RSS:   %6.2fx (%.1f MB / %.1f MB)\n", ky.peakBytes / ig.peakBytes,
                ky.peakBytes / 1e6, ig.peakBytes / 1e6);
    std::printf("  path cost:  %s (kyanalyze %s, igraph %s)\n",
                ky.cost == ig.cost ? "equal" : "DIFFERS", ky.cost.c_str(), ig.cost.c_str());
  }
  benchmark::Shutdown();
  return 0;
}
