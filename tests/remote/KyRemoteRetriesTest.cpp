// A client that sends a request again when that is safe: after no
// connection, after a busy service; and not otherwise.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include "remote/KyRemoteTesting.h"
#include "support/KyServiceHealth.h"
#include "support/KyServiceInProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

using kytest::RemoteCase;

TEST(RemoteRetries, AServiceThatComesUpMeanwhileIsReachedOnlyByARetryingClient) {
  int port = 0;
  {
    kytest::ServiceInProcess probe;
    ASSERT_TRUE(probe.ok());
    port = probe.port();
  }
  const std::wstring url = L"http://127.0.0.1:" + std::to_wstring(port);
  for (const int retries : {0, 4}) {
    SCOPED_TRACE(retries);
    KyRemoteAnalysisService remote(url.c_str());
    remote.retries(retries);
    RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1u);
    KyServiceOutputData answer;
    int code = -1;
    std::thread caller([&] { code = remote.run(&c.input, &answer); });
    // Without retries, the one attempt ends before the service is up (a
    // busy machine may start the caller late). With them, the service comes
    // up after the first attempt, most likely, and before the second: 100 ms
    // later.
    if (retries == 0)
      caller.join();
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    KyAnalysisServerOptions options;
    options.port = port;
    options.threads = 1;
    KyAnalysisServer service(options);
    const KyAnalysisServerStartEnum started = service.start();
    if (caller.joinable())
      caller.join();
    ASSERT_EQ(started, SERVER_STARTED);
    EXPECT_EQ(code, retries == 0 ? ANALYSIS_ERROR_CANNOT_CONNECT : ANALYSIS_ERROR_NONE);
  }
}

TEST(RemoteRetries, ABusyServiceIsAskedAgainAfterItsRetryAfter) {
  KyAnalysisServerOptions options;
  options.threads = 1;
  options.queue = 0;
  kytest::ServiceInProcess service(options);
  ASSERT_TRUE(service.ok());
  RemoteCase busy(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 150, 600, 2u);
  KyServiceOutputData busyAnswer;
  std::thread worker(
      [&] { KyRemoteAnalysisService(service.wideUrl().c_str()).run(&busy.input, &busyAnswer); });
  ASSERT_TRUE(kytest::awaitLoad(service.url(), 1, 0));
  RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1u);
  KyServiceOutputData answer;
  KyRemoteAnalysisService impatient(service.wideUrl().c_str());
  EXPECT_EQ(impatient.run(&c.input, &answer), ANALYSIS_ERROR_SERVICE_BUSY);
  KyRemoteAnalysisService patient(service.wideUrl().c_str());
  patient.retries(10);
  EXPECT_EQ(patient.run(&c.input, &answer), ANALYSIS_ERROR_NONE);
  worker.join();
}

TEST(RemoteRetries, NothingIsSentAgainAfterARefusalOrATimeLimit) {
  KyAnalysisServerOptions options;
  options.threads = 1;
  options.token = "t";
  kytest::ServiceInProcess service(options);
  ASSERT_TRUE(service.ok());
  KyRemoteAnalysisService remote(service.wideUrl().c_str());
  remote.retries(3);
  RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1u);
  KyServiceOutputData answer;
  EXPECT_EQ(remote.run(&c.input, &answer), ANALYSIS_ERROR_UNAUTHORIZED);
  remote.pToken(L"t");
  remote.readTimeLimit(300);
  RemoteCase slow(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 700, 2800, 3u);
  EXPECT_EQ(remote.run(&slow.input, &answer), ANALYSIS_ERROR_TIMED_OUT);
  EXPECT_EQ(service.awaitLog(2).size(), 2u) << "one request each:\n" << service.logText();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(service.log().size(), 2u) << service.logText();
}

} // namespace
