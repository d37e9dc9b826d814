// What an operator sees and does: readiness, metrics, a drain with a
// deadline, and slow clients that cannot take the service away from others.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include "remote/KyRemoteTesting.h"
#include "server/KyServerTesting.h"
#include "support/KyServiceHealth.h"
#include "support/KyServiceInProcess.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <memory>
#include <poll.h>
#include <regex>
#include <thread>
#include <vector>

namespace {

using kytest::RemoteCase;
using Clock = std::chrono::steady_clock;

TEST(ServerMetrics, CountRequestsByStatusAndAnalysisBehindTheToken) {
  KyAnalysisServerOptions options;
  options.threads = 1;
  options.token = "t";
  kytest::ServiceInProcess service(options);
  ASSERT_TRUE(service.ok());
  KyRemoteAnalysisService remote(service.wideUrl().c_str());
  remote.pToken(L"t");
  for (unsigned seed = 1; seed <= 3; ++seed) {
    RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, seed);
    KyServiceOutputData answer;
    ASSERT_EQ(remote.run(&c.input, &answer), ANALYSIS_ERROR_NONE);
  }
  httplib::Client client(service.url());
  ASSERT_EQ(client.Get("/nothing")->status, 404);
  EXPECT_EQ(client.Get("/metrics")->status, 401) << "the metrics want the token";
  service.awaitLog(5);
  const auto answer = client.Get("/metrics", {{"Authorization", "Bearer t"}});
  ASSERT_TRUE(answer);
  ASSERT_EQ(answer->status, 200);
  EXPECT_EQ(answer->get_header_value("Content-Type"), "text/plain; version=0.0.4");
  const std::string& text = answer->body;
  for (const char* line :
       {"kyanalysis_requests_total{status=\"200\",analysis=\"shortestPaths\"} 3\n",
        "kyanalysis_requests_total{status=\"404\",analysis=\"-\"} 1\n",
        "kyanalysis_requests_total{status=\"401\",analysis=\"-\"} 1\n",
        "# TYPE kyanalysis_request_duration_seconds histogram\n",
        "kyanalysis_request_duration_seconds_count 5\n",
        "kyanalysis_request_duration_seconds_bucket{le=\"+Inf\"} 5\n", "kyanalysis_workers 1\n",
        "kyanalysis_requests_queued 0\n", "kyanalysis_memory_budget_used_bytes 0\n",
        "kyanalysis_ready 1\n", "kyanalysis_log_lines_dropped_total 0\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
  // A worker counts as busy until its job has returned, a moment after its
  // client has the answer.
  bool idle = false;
  for (int i = 0; i < 200 && !idle; ++i) {
    const auto again = client.Get("/metrics", {{"Authorization", "Bearer t"}});
    idle = again && again->body.find("kyanalysis_requests_in_flight 0\n") != std::string::npos;
    if (!idle)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(idle) << "no request in flight once all are answered";
  EXPECT_TRUE(std::regex_search(text, std::regex("\nkyanalysis_connections_open [1-9]")));
  EXPECT_TRUE(std::regex_search(text, std::regex("\nkyanalysis_received_bytes_total [1-9]")));
  EXPECT_TRUE(std::regex_search(text, std::regex("\nkyanalysis_resident_memory_bytes [1-9]")));
  // Every sample line is NAME{LABELS} VALUE or NAME VALUE.
  const std::regex sample(R"(^(#.*|[a-z_]+(\{[a-z]+="[^"]*"(,[a-z]+="[^"]*")*\})? [0-9.e+-]+)$)");
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos;
       start = end + 1, end = text.find('\n', start))
    EXPECT_TRUE(std::regex_match(text.substr(start, end - start), sample))
        << text.substr(start, end - start);
}

TEST(ServerLog, ALogThatCannotKeepUpLosesLinesNotAnswers) {
  KyAnalysisServerOptions options;
  options.threads = 1;
  std::mutex blocked;
  blocked.lock();
  // A log that never returns, as a pipe nobody reads.
  options.log = [&blocked](const std::string&) { const std::lock_guard<std::mutex> wait(blocked); };
  options.port = 0;
  KyAnalysisServer service(options);
  ASSERT_EQ(service.start(), SERVER_STARTED);
  httplib::Client client(service.url());
  for (int i = 0; i < 20; ++i) {
    const auto health = client.Get("/healthz");
    ASSERT_TRUE(health) << "request " << i;
    EXPECT_EQ(health->status, 200);
  }
  blocked.unlock();
  service.stop();
}

TEST(ServerDrain, StopAnswersWhatItAcceptedWithinTheDrainTime) {
  KyAnalysisServerOptions options;
  options.threads = 1;
  options.queue = 2;
  options.drainSeconds = 2;
  options.maxAnswerValues = kytest::kLongRunValues;
  options.memoryBudgetBytes = kytest::kLongRunValues * 64 * 2;
  kytest::ServiceInProcess service(options);
  ASSERT_TRUE(service.ok());
  // A run far longer than the drain time, and a client that never sends
  // its body.
  RemoteCase c = kytest::longRun(5u);
  KyServiceOutputData answer;
  int code = -1;
  std::thread caller(
      [&] { code = KyRemoteAnalysisService(service.wideUrl().c_str()).run(&c.input, &answer); });
  ASSERT_TRUE(kytest::awaitLoad(service.url(), 1, 0));
  kytest::RawConnection slow(service.port());
  ASSERT_TRUE(
      slow.send("POST /v1/run HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 100\r\n\r\nA"));
  httplib::Client kept(service.url());
  kept.set_keep_alive(true);
  ASSERT_EQ(kept.Get("/readyz")->status, 200);

  const Clock::time_point start = Clock::now();
  std::thread stopping([&] { service.stop(); });
  bool drainingSeen = false;
  for (int i = 0; i < 100 && !drainingSeen; ++i) {
    const auto ready = kept.Get("/readyz");
    drainingSeen =
        ready && ready->status == 503 && ready->body.find("draining") != std::string::npos;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  stopping.join();
  const auto took = Clock::now() - start;
  caller.join();
  EXPECT_TRUE(drainingSeen) << "a connection kept open sees the service draining";
  EXPECT_EQ(code, ANALYSIS_ERROR_STOPPED) << "the run was answered, stopped";
  EXPECT_LT(took, std::chrono::seconds(5)) << "stop() waits for the drain time, not the run";
  EXPECT_GE(took, std::chrono::milliseconds(900));
  EXPECT_EQ(slow.receiveAll(), "") << "a body that never came is not answered";
  EXPECT_TRUE(slow.closed);
  // New connections are refused.
  KyServiceOutputData refused;
  RemoteCase small(OPERATION_SHORTEST_PATHS, 5, 3, 1u);
  EXPECT_EQ(KyRemoteAnalysisService(service.wideUrl().c_str()).run(&small.input, &refused),
            ANALYSIS_ERROR_CANNOT_CONNECT);
}

/// Connections that send their headers, or their body, a piece at a time.
class SlowClients {
public:
  SlowClients(int port, int headers, int bodies) {
    for (int i = 0; i < headers + bodies; ++i) {
      const bool header = i < headers;
      auto connection = std::make_unique<kytest::RawConnection>(port);
      connection->send(header ? "POST /v1/run HTTP/1.1\r\n"
                              : "POST /v1/run HTTP/1.1\r\nContent-Length: 100000\r\n\r\nA");
      connections_.push_back({std::move(connection), header});
    }
    opened_ = Clock::now();
  }
  /// Sends each connection its next piece: a header line or a byte.
  void trickle() {
    for (auto& [connection, header] : connections_)
      connection->send(header ? "X-Slow: 1\r\n" : "A");
  }
  /// Connections the server has closed.
  int closed() const {
    int count = 0;
    for (const auto& [connection, header] : connections_) {
      pollfd state{connection->fd(), POLLIN | POLLRDHUP, 0};
      count += poll(&state, 1, 0) == 1 ? 1 : 0;
    }
    return count;
  }
  Clock::time_point opened() const { return opened_; }

private:
  std::vector<std::pair<std::unique_ptr<kytest::RawConnection>, bool>> connections_;
  Clock::time_point opened_;
};

TEST(ServerSlowClients, SlowHeadersAndBodiesLeaveTheServiceToOthersAndAreCut) {
  KyAnalysisServerOptions options;
  options.threads = 2;
  options.headerSeconds = 2;
  options.readSeconds = 1;
  options.minimumBytesPerSecond = 100;
  options.maxConnectionsPerAddress = 0;
  kytest::ServiceInProcess service(options);
  ASSERT_TRUE(service.ok());
  SlowClients slow(service.port(), 200, 100);

  // A steady client for three seconds, a piece from each slow one every
  // half second.
  const KyRemoteAnalysisService remote(service.wideUrl().c_str());
  std::vector<double> latencies;
  int right = 0;
  Clock::time_point nextPiece = Clock::now();
  for (unsigned seed = 1; Clock::now() - slow.opened() < std::chrono::seconds(3); ++seed) {
    if (Clock::now() >= nextPiece) {
      slow.trickle();
      nextPiece += std::chrono::milliseconds(500);
    }
    RemoteCase c(OPERATION_SHORTEST_PATHS, 8, 12, seed);
    KyServiceOutputData remoteAnswer, localAnswer;
    const Clock::time_point start = Clock::now();
    const int code = remote.run(&c.input, &remoteAnswer);
    latencies.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    KyLocalAnalysisService().run(&c.input, &localAnswer);
    const kytest::Renderer renderer(c.graph, c.input);
    right +=
        code == ANALYSIS_ERROR_NONE && renderer.lines(remoteAnswer) == renderer.lines(localAnswer);
  }
  EXPECT_EQ(right, static_cast<int>(latencies.size())) << "every answer right";
  EXPECT_GT(right, 10);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  // The target itself is shown by bench/server_limits_bench; this bound
  // says only that the steady client was never held up for long.
  std::sort(latencies.begin(), latencies.end());
  const double p99 = latencies[latencies.size() * 99 / 100];
  EXPECT_LT(p99, 2.0) << "p99 of " << latencies.size() << " answers";
#endif
  // By now every slow client is past its deadline: the headers' 2 s, the
  // body's rate after 1 s.
  EXPECT_EQ(slow.closed(), 300);
}

} // namespace
