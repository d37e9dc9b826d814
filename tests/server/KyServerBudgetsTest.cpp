// What a request may cost a server: memory for bodies in flight, the size
// of the answer it would make, and time; and a run stopped when its time
// limit passes or its client leaves.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisWorkEstimate.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include "remote/KyRemoteTesting.h"
#include "server/KyServerTesting.h"
#include "support/KyServiceHealth.h"
#include "support/KyServiceInProcess.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <thread>

namespace {

using kytest::RemoteCase;

std::string post(const std::string& body, std::size_t announced) {
  return "POST /v1/run HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nContent-Length: " +
         std::to_string(announced) + "\r\n\r\n" + body;
}

nlohmann::json readiness(const std::string& url) {
  const auto answer = httplib::Client(url).Get("/readyz");
  return answer ? nlohmann::json::parse(answer->body) : nlohmann::json();
}

/// Waits, 10 s at most, until /readyz of `url` says `status`.
bool awaitReadiness(const std::string& url, const char* status) {
  for (int i = 0; i < 1000; ++i) {
    if (readiness(url).value("status", "") == status)
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

/// The log line of the first run, waiting 30 s at most for it.
std::string runLine(const kytest::ServiceInProcess& service) {
  for (std::size_t count = 1; count < 1000; ++count) {
    const std::vector<std::string> log = service.awaitLog(count);
    for (const std::string& line : log)
      if (line.find("\"path\":\"/v1/run\"") != std::string::npos)
        return line;
    if (log.size() < count)
      return "";
  }
  return "";
}

TEST(ServerMemory, BodiesCountFromTheirFirstByteAgainstTheBudget) {
  KyAnalysisServerOptions options;
  options.threads = 1;
  options.memoryBudgetBytes = 1000000;
  kytest::ServiceInProcess service(options);
  ASSERT_TRUE(service.ok());
  EXPECT_EQ(readiness(service.url()).value("status", ""), "ready");

  // Two bodies of 460 kB, announced and begun, take 92 % of the budget:
  // the service is full for its balancer, and a third body does not fit.
  kytest::RawConnection first(service.port()), second(service.port());
  ASSERT_TRUE(first.send(post("AAAA", 460000)));
  ASSERT_TRUE(second.send(post("AAAA", 460000)));
  ASSERT_TRUE(awaitReadiness(service.url(), "full"));
  const auto full = readiness(service.url());
  EXPECT_EQ(full.at("memoryUsed"), 920000);
  EXPECT_EQ(full.at("memoryBudget"), 1000000);

  struct Case {
    const char* name;
    std::size_t bytes;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"a body that does not fit now", 460000, 503, "the memory this service has for requests"},
      {"a body that never could", 1000001, 413, "more than the 1000000 bytes"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const kytest::RawAnswer answer =
        kytest::exchange(service.port(), post(std::string(test.bytes, 'A'), test.bytes));
    EXPECT_EQ(answer.status, test.status) << answer.body;
    EXPECT_NE(answer.body.find(test.message), std::string::npos) << answer.body;
    EXPECT_EQ(answer.head.find("Retry-After: 1") != std::string::npos, test.status == 503);
  }
  // The bodies held give their memory back with their connections.
  first.shutdownWrite();
  second.shutdownWrite();
  ASSERT_TRUE(awaitReadiness(service.url(), "ready"));
  EXPECT_EQ(readiness(service.url()).at("memoryUsed"), 0);
  RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1u);
  KyServiceOutputData answer;
  EXPECT_EQ(KyRemoteAnalysisService(service.wideUrl().c_str()).run(&c.input, &answer),
            ANALYSIS_ERROR_NONE);
}

TEST(ServerWork, AnAnswerPastTheCapIsRefusedBeforeTheEngineStarts) {
  RemoteCase pairs(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 30, 20, 1u);
  RemoteCase paths(OPERATION_SORTED_PATHS, 30, 20, 2u);
  RemoteCase tree(OPERATION_MINIMUM_SPANNING_TREE, 30, 20, 3u);
  for (RemoteCase* c : {&pairs, &paths, &tree}) {
    const std::uint64_t values = KyAnalysisWorkEstimate::answerValues(c->input);
    SCOPED_TRACE(std::to_string(c->operation) + ": " + std::to_string(values) + " values");
    for (const std::uint64_t cap : {values, values - 1}) {
      KyAnalysisServerOptions options;
      options.threads = 1;
      options.maxAnswerValues = cap;
      kytest::ServiceInProcess service(options);
      ASSERT_TRUE(service.ok());
      const kytest::RawAnswer answer = kytest::exchange(
          service.port(), post(kytest::requestString(*c), kytest::requestString(*c).size()));
      if (cap == values) {
        EXPECT_EQ(answer.status, 200) << "at the cap: " << answer.body;
      } else {
        EXPECT_EQ(answer.status, 413) << "one past it: " << answer.body;
        EXPECT_NE(answer.body.find("the answer would hold up to " + std::to_string(values) +
                                   " values; this service answers at most " + std::to_string(cap)),
                  std::string::npos)
            << answer.body;
        const std::vector<std::string> log = service.awaitLog(1);
        ASSERT_EQ(log.size(), 1u);
        EXPECT_NE(log[0].find("\"graph\":\"-\""), std::string::npos)
            << "refused before the request was read: " << log[0];
      }
    }
  }
}

/// Options of a service with one worker that takes kytest::longRun().
KyAnalysisServerOptions oneWorkerForLongRuns() {
  KyAnalysisServerOptions options;
  options.threads = 1;
  options.maxAnswerValues = kytest::kLongRunValues;
  options.memoryBudgetBytes = kytest::kLongRunValues * 64 * 2;
  return options;
}

TEST(ServerTimeLimit, ARunPastItsTimeLimitStopsAndSaysSo) {
  KyAnalysisServerOptions options = oneWorkerForLongRuns();
  options.requestSeconds = 1;
  kytest::ServiceInProcess service(options);
  ASSERT_TRUE(service.ok());
  RemoteCase c = kytest::longRun(1u);
  KyServiceOutputData answer;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(KyRemoteAnalysisService(service.wideUrl().c_str()).run(&c.input, &answer),
            ANALYSIS_ERROR_STOPPED);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_EQ(answer.numberOfValues(), 1u) << "the code alone";
  const std::vector<std::string> log = service.awaitLog(1);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("\"status\":200"), std::string::npos) << log[0];
  EXPECT_NE(log[0].find("\"outcome\":\"timeLimit\""), std::string::npos) << log[0];
  // The worker is free for the next request.
  RemoteCase small(OPERATION_SHORTEST_PATHS, 5, 3, 2u);
  EXPECT_EQ(KyRemoteAnalysisService(service.wideUrl().c_str()).run(&small.input, &answer),
            ANALYSIS_ERROR_NONE);
}

TEST(ServerTimeLimit, AClientThatLeavesMidRunFreesItsWorker) {
  kytest::ServiceInProcess service(oneWorkerForLongRuns());
  ASSERT_TRUE(service.ok());
  RemoteCase c = kytest::longRun(3u);
  const std::string body = kytest::requestString(c);
  {
    kytest::RawConnection leaving(service.port());
    ASSERT_TRUE(leaving.send(post(body, body.size())));
    ASSERT_TRUE(kytest::awaitLoad(service.url(), 1, 0));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  ASSERT_TRUE(kytest::awaitLoad(service.url(), 0, 0));
  const std::string line = runLine(service);
  EXPECT_NE(line.find("\"outcome\":\"withdrawn\""), std::string::npos) << service.logText();
}

} // namespace
