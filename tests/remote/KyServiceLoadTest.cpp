// Many clients at once: every answer right, none lost, one log line each,
// and the memory of the process (server and clients) back near where it
// started.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include "remote/KyRemoteTesting.h"
#include "support/KyServiceInProcess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using kytest::RemoteCase;
using kytest::Renderer;

constexpr int kClients = 16;
constexpr int kRequestsEach = 25;

// A mix of answers of every shape: lists, lists of lists, pairs, a path
// graph, constraints.
constexpr int kMix[] = {
    OPERATION_SHORTEST_PATHS,       OPERATION_SORTED_PATHS, OPERATION_ALL_PAIRS_SHORTEST_PATHS,
    OPERATION_CONNECTED_COMPONENTS, OPERATION_CLUSTERING,   OPERATION_MAXIMUM_FLOW,
    OPERATION_DEPTH_FIRST_SEARCH};

/// The resident memory of this process in kB, or -1.
long residentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0)
      return std::stol(line.substr(6));
  return -1;
}

/// Runs `rounds` requests from each of kClients threads at once and counts
/// the answers that equal the local engine's; the codes of the others go to
/// the test's failure message.
int answeredRight(const kytest::ServiceInProcess& service, int rounds) {
  std::atomic<int> right{0};
  std::mutex wrongMutex;
  std::string wrong;
  std::vector<std::thread> clients;
  for (int client = 0; client < kClients; ++client)
    clients.emplace_back([&, client] {
      const KyRemoteAnalysisService remote(service.wideUrl().c_str());
      for (int round = 0; round < rounds; ++round) {
        const unsigned seed = static_cast<unsigned>(client * 1000 + round);
        RemoteCase c(kMix[seed % std::size(kMix)], 12 + static_cast<int>(seed % 7), 20, seed);
        KyServiceOutputData remoteAnswer, localAnswer;
        const int code = remote.run(&c.input, &remoteAnswer);
        KyLocalAnalysisService().run(&c.input, &localAnswer);
        const Renderer renderer(c.graph, c.input);
        if (code == ANALYSIS_ERROR_NONE &&
            renderer.lines(remoteAnswer) == renderer.lines(localAnswer)) {
          ++right;
        } else {
          const std::lock_guard<std::mutex> lock(wrongMutex);
          wrong += " seed " + std::to_string(seed) + " code " + std::to_string(code);
        }
      }
    });
  for (std::thread& client : clients)
    client.join();
  if (!wrong.empty())
    ADD_FAILURE() << "wrong answers:" << wrong << "\n" << service.logText();
  return right;
}

TEST(ServiceLoad, SixteenClientsAtOnceGetEveryAnswerRight) {
  KyAnalysisServerOptions options;
  options.threads = 2;
  kytest::ServiceInProcess service(options);
  ASSERT_TRUE(service.ok());
  int rounds = 1;
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  // The same load first, so that what the service keeps for good (thread
  // stacks, the allocator's arenas) is in place before its memory is
  // measured. The sanitizers keep freed memory in quarantine or shadow, so
  // there the measure says nothing and one round warms up.
  rounds = kRequestsEach;
#endif
  ASSERT_EQ(answeredRight(service, rounds), kClients * rounds);
  const long start = residentKilobytes();
  EXPECT_EQ(answeredRight(service, kRequestsEach), kClients * kRequestsEach);
  const long end = residentKilobytes();
  service.stop();
  std::size_t lines = 0;
  for (const std::string& line : service.log())
    lines += line.find(R"("path":"/v1/run")") != std::string::npos;
  EXPECT_EQ(lines, static_cast<std::size_t>(kClients * (rounds + kRequestsEach)))
      << "one line each";
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  EXPECT_LT(end - start, 8 * 1024) << "kB grown: " << start << " -> " << end;
#else
  (void)start;
  (void)end;
#endif
}

} // namespace
