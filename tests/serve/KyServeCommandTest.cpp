// `kyanalyze serve` as a process: its arguments, the signals that stop it
// and its exit status, its log on standard error, and the description of
// the analyses it serves.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include "remote/KyRemoteTesting.h"
#include "server/KyServerTesting.h"
#include "support/KyProcess.h"
#include "support/KyServiceHealth.h"
#include "support/KyServiceProcess.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <csignal>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using kytest::RemoteCase;

TEST(ServeCommand, SigtermAnswersTheRequestsInFlightThenExitsZero) {
  kytest::ServiceProcess service({"--threads", "1", "--queue", "4", "--drain-seconds", "300"});
  ASSERT_TRUE(service.ok()) << service.log();
  constexpr int kRequests = 3;
  std::vector<std::unique_ptr<RemoteCase>> cases;
  std::vector<KyServiceOutputData> answers(kRequests);
  std::vector<int> codes(kRequests, -1);
  std::vector<std::thread> callers;
  for (int i = 0; i < kRequests; ++i)
    cases.push_back(std::make_unique<RemoteCase>(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 200, 800,
                                                 20u + static_cast<unsigned>(i)));
  for (int i = 0; i < kRequests; ++i)
    callers.emplace_back([&, i] {
      codes[i] =
          KyRemoteAnalysisService(service.wideUrl().c_str()).run(&cases[i]->input, &answers[i]);
    });
  ASSERT_TRUE(kytest::awaitLoad(service.url(), 1, kRequests - 1));
  EXPECT_EQ(service.stop(), 0) << service.log();
  for (std::thread& caller : callers)
    caller.join();
  for (int i = 0; i < kRequests; ++i) {
    EXPECT_EQ(codes[i], ANALYSIS_ERROR_NONE) << "request " << i;
    KyServiceOutputData local;
    KyLocalAnalysisService().run(&cases[i]->input, &local);
    EXPECT_EQ(answers[i].numberOfValues(), local.numberOfValues());
  }
  const std::string log = service.log();
  EXPECT_NE(log.find("kyanalyze serve: stopped"), std::string::npos) << log;
  std::size_t lines = 0;
  const std::string answered =
      R"("method":"POST","path":"/v1/run","analysis":"allPairsShortestPaths","graph":"200/999","status":200,)";
  for (std::size_t at = log.find(answered); at != std::string::npos;
       at = log.find(answered, at + 1))
    ++lines;
  EXPECT_EQ(lines, static_cast<std::size_t>(kRequests)) << log;
}

TEST(ServeCommand, SigtermWithASlowClientOpenEndsWithinTheDrainTime) {
  const std::string values = std::to_string(kytest::kLongRunValues);
  const std::string budget = std::to_string(kytest::kLongRunValues * 64 * 2);
  kytest::ServiceProcess service({"--threads", "1", "--drain-seconds", "2", "--max-answer-values",
                                  values, "--memory-budget", budget});
  ASSERT_TRUE(service.ok()) << service.log();
  // A run far longer than the drain time, and a client that sends its
  // headers one line at a time.
  RemoteCase c = kytest::longRun(11u);
  KyServiceOutputData answer;
  int code = -1;
  std::thread caller(
      [&] { code = KyRemoteAnalysisService(service.wideUrl().c_str()).run(&c.input, &answer); });
  ASSERT_TRUE(kytest::awaitLoad(service.url(), 1, 0));
  std::thread trickle([&] {
    kytest::RawConnection line(service.port());
    line.send("POST /v1/run HTTP/1.1\r\n");
    for (int i = 0; i < 40 && line.send("X-Slow: 1\r\n"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(service.stop(10), 0) << service.log();
  const auto took = std::chrono::steady_clock::now() - start;
  caller.join();
  trickle.join();
  // The drain time, and the second a stopped run may take to come back.
  EXPECT_LT(took, std::chrono::seconds(4)) << "the drain time is 2 s";
  EXPECT_EQ(code, ANALYSIS_ERROR_STOPPED) << "the run accepted was answered";
  EXPECT_NE(service.log().find(R"("outcome":"timeLimit")"), std::string::npos) << service.log();
}

TEST(ServeCommand, EitherStopSignalEndsItWithStatusZero) {
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal == SIGTERM ? "SIGTERM" : "SIGINT");
    kytest::ServiceProcess service({"--threads", "1"});
    ASSERT_TRUE(service.ok()) << service.log();
    RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1);
    KyServiceOutputData answer;
    EXPECT_EQ(KyRemoteAnalysisService(service.wideUrl().c_str()).run(&c.input, &answer),
              ANALYSIS_ERROR_NONE);
    EXPECT_EQ(service.stop(60, signal), 0) << service.log();
    // The whole log is in once the process has ended.
    const std::string log = service.log();
    EXPECT_EQ(log.rfind("kyanalyze serve: listening on " + service.url() + " with 1 workers\n", 0),
              0u)
        << log;
    EXPECT_NE(
        log.find(
            R"("method":"POST","path":"/v1/run","analysis":"shortestPaths","graph":"5/7","status":200,)"),
        std::string::npos)
        << log;
    EXPECT_EQ(log.substr(log.size() - 25), "kyanalyze serve: stopped\n") << log;
  }
}

TEST(ServeCommand, TheLongestQueueStartsAndAnswers) {
  kytest::ServiceProcess service({"--threads", "1", "--queue", "100000"});
  ASSERT_TRUE(service.ok()) << service.log();
  RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1);
  KyServiceOutputData answer;
  EXPECT_EQ(KyRemoteAnalysisService(service.wideUrl().c_str()).run(&c.input, &answer),
            ANALYSIS_ERROR_NONE);
  EXPECT_EQ(service.stop(), 0) << service.log();
}

TEST(ServeCommand, ServesWhatDescribeJsonPrints) {
  const kytest::TempFile token("t0ken\n");
  kytest::ServiceProcess service({"--threads", "1", "--token-file", token.path()});
  ASSERT_TRUE(service.ok()) << service.log();
  const kytest::Outcome described = kytest::runProcess(KYANALYZE_PATH, {"describe", "--json"});
  ASSERT_EQ(described.status, 0);
  const auto served =
      httplib::Client(service.url()).Get("/v1/analyses", {{"Authorization", "Bearer t0ken"}});
  ASSERT_TRUE(served);
  EXPECT_EQ(served->status, 200);
  EXPECT_EQ(served->body, described.out);
}

TEST(ServeCommand, ServeRefusesWhatItCannotDoSafely) {
  const kytest::TempFile token("t0ken\n");
  const kytest::TempFile empty("\n");
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"all interfaces, nothing else", {"--listen", "0.0.0.0:8080"}, 2, "beyond this machine"},
      {"all interfaces with a token only",
       {"--listen", "0.0.0.0:8080", "--token-file", token.path()},
       2,
       "beyond this machine"},
      {"an address without port", {"--listen", "127.0.0.1"}, 2, "HOST:PORT"},
      {"a queue one past the longest", {"--queue", "100001"}, 2, "--queue"},
      {"a port out of range", {"--listen", "127.0.0.1:70000"}, 2, "HOST:PORT"},
      {"a certificate without key", {"--tls-cert", token.path()}, 2, "--tls-key"},
      {"a token file that is missing",
       {"--listen", "127.0.0.1:0", "--token-file", "/nonexistent"},
       1,
       "cannot be read"},
      {"an empty token file",
       {"--listen", "127.0.0.1:0", "--token-file", empty.path()},
       1,
       "no token"},
      {"a certificate that is no certificate",
       {"--listen", "127.0.0.1:0", "--tls-cert", token.path(), "--tls-key", token.path()},
       1,
       "cannot be read"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    std::vector<std::string> args = test.args;
    args.insert(args.begin(), "serve");
    const kytest::Outcome outcome = kytest::runProcess(KYANALYZE_PATH, args);
    EXPECT_EQ(outcome.status, test.status) << outcome.err;
    EXPECT_NE(outcome.err.find(test.message), std::string::npos) << outcome.err;
  }
}

TEST(ServeCommand, APortInUseIsRefusedAndItsServiceKeepsAnswering) {
  kytest::ServiceProcess first;
  ASSERT_TRUE(first.ok()) << first.log();
  // Bounded: a second service that did listen would never end.
  const kytest::Outcome second =
      kytest::runProcess("/usr/bin/timeout", {"10", KYANALYZE_PATH, "serve", "--listen",
                                              "127.0.0.1:" + std::to_string(first.port())});
  EXPECT_EQ(second.status, 1) << second.err;
  EXPECT_NE(second.err.find("cannot listen on"), std::string::npos) << second.err;
  kytest::RemoteCase c(OPERATION_SHORTEST_PATHS, 8, 12, 1);
  KyServiceOutputData answer;
  EXPECT_EQ(KyRemoteAnalysisService(first.wideUrl().c_str()).run(&c.input, &answer),
            ANALYSIS_ERROR_NONE);
  EXPECT_EQ(first.stop(), 0);
}

} // namespace
