// Peak memory of `kyanalyze encode`, `decode` and `run --request` on a large
// request document against the document's size: bench/make_request_document.py
// writes a shortest-paths request of 200,000 nodes and 1,000,000 edges with
// a cost on every edge, indented as the library writes files. `encode`
// reads it and prints its base 64, `decode` turns that base 64 back into the
// document (which must give the same bytes), `run --request` answers it.
// Each run is one child process; its peak resident set and CPU time come
// from the kernel. Medians of the runs are printed after the benchmark
// table, as ratios to the document's size: the indented file, and the
// one-line document that the base 64 carries.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kNodes = 200000;
constexpr int kEdges = 1000000;

std::string temporaryPath(const char* suffix) {
  char pattern[] = "/tmp/ky-documents-XXXXXX";
  const int descriptor = mkstemp(pattern);
  close(descriptor);
  std::remove(pattern);
  return std::string(pattern) + suffix;
}

long fileSize(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  return file ? static_cast<long>(file.tellg()) : -1;
}

bool sameFiles(const std::string& a, const std::string& b) {
  std::ifstream one(a, std::ios::binary), two(b, std::ios::binary);
  return std::equal(std::istreambuf_iterator<char>(one), std::istreambuf_iterator<char>(),
                    std::istreambuf_iterator<char>(two), std::istreambuf_iterator<char>());
}

// What one child process cost.
struct ProcessRun {
  bool exited = false;
  double cpuSeconds = 0;
  double peakBytes = 0;
};

// Runs `args` with standard input from `in` and standard output to `out`
// (files; empty: none).
ProcessRun runProcess(std::vector<std::string> args, const std::string& in,
                      const std::string& out) {
  std::vector<char*> argv;
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  ProcessRun run;
  const pid_t pid = fork();
  if (pid == 0) {
    const int input = open(in.empty() ? "/dev/null" : in.c_str(), O_RDONLY);
    const int output =
        open(out.empty() ? "/dev/null" : out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (input < 0 || output < 0)
      _exit(126);
    dup2(input, STDIN_FILENO);
    dup2(output, STDOUT_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
    run.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    run.peakBytes = usage.ru_maxrss * 1024.0;
  }
  return run;
}

// The document, its base 64 and the decoded document, made once and
// removed at exit.
class Files {
public:
  Files() : document_(temporaryPath(".xml")), base64_(temporaryPath(".b64")) {
    const std::string command = "python3 " KY_SOURCE_DIR "/bench/make_request_document.py " +
                                std::to_string(kEdges) + " " + std::to_string(kNodes) + " > " +
                                document_;
    if (std::system(command.c_str()) != 0 ||
        !runProcess({KY_KYANALYZE, "encode", document_}, "", base64_).exited) {
      std::fprintf(stderr, "the request document cannot be made\n");
      std::exit(1);
    }
  }
  ~Files() {
    std::remove(document_.c_str());
    std::remove(base64_.c_str());
  }
  Files(const Files&) = delete;
  Files& operator=(const Files&) = delete;

  const std::string& document() const { return document_; }
  const std::string& base64() const { return base64_; }

private:
  std::string document_;
  std::string base64_;
};

const Files& files() {
  static const Files made;
  return made;
}

// Per command: the peak and CPU time of every run.
std::map<std::string, std::vector<ProcessRun>> runs;

void measure(benchmark::State& state, const std::string& name, std::vector<std::string> args,
             const std::string& in, const std::string& out) {
  for (auto _ : state) {
    const ProcessRun run = runProcess(args, in, out);
    if (!run.exited) {
      state.SkipWithError("the command failed");
      return;
    }
    runs[name].push_back(run);
  }
}

void BM_Encode(benchmark::State& state) {
  const std::string out = temporaryPath(".b64");
  measure(state, "encode", {KY_KYANALYZE, "encode", files().document()}, "", out);
  if (!sameFiles(out, files().base64()))
    state.SkipWithError("encode printed another text");
  std::remove(out.c_str());
}

void BM_Decode(benchmark::State& state) {
  const std::string out = temporaryPath(".xml");
  measure(state, "decode", {KY_KYANALYZE, "decode"}, files().base64(), out);
  if (!sameFiles(out, files().document()))
    state.SkipWithError("decode wrote another document");
  std::remove(out.c_str());
}

void BM_RunRequest(benchmark::State& state) {
  measure(state, "run --request", {KY_KYANALYZE, "run", "--request", files().document()}, "", "");
}

BENCHMARK(BM_Encode)->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(BM_Decode)->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(BM_RunRequest)->Unit(benchmark::kSecond)->Iterations(3);

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t half = values.size() / 2;
  return values.size() % 2 != 0 ? values[half] : (values[half - 1] + values[half]) / 2;
}

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  files();
  benchmark::RunSpecifiedBenchmarks();
  const double indented = static_cast<double>(fileSize(files().document()));
  const double oneLine = static_cast<double>(fileSize(files().base64())) / 4 * 3;
  std::printf("\nRequest document commands, peak resident set / document size (median of runs)\n");
  std::printf("  document: %.1f MB indented, %.1f MB on one line (%d nodes, %d edges)\n",
              indented / 1e6, oneLine / 1e6, kNodes, kEdges);
  for (const char* name : {"encode", "decode", "run --request"}) {
    std::vector<double> peaks, seconds;
    for (const ProcessRun& run : runs[name]) {
      peaks.push_back(run.peakBytes);
      seconds.push_back(run.cpuSeconds);
    }
    if (peaks.empty())
      continue;
    const double peak = median(peaks);
    std::printf("  %-13s peak / indented: %4.2f, / one line: %4.2f (%.0f MB, %.1f s CPU)\n", name,
                peak / indented, peak / oneLine, peak / 1e6, median(seconds));
  }
  benchmark::Shutdown();
  return 0;
}
