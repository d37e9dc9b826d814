// A client that sends a request again when that is safe: after no
// connection, after a busy service, after a balancer's bad gateway; and not
// otherwise.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisWireContract.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include "remote/KyRemoteTesting.h"
#include "support/KyServiceHealth.h"
#include "support/KyServiceInProcess.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
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

TEST(RemoteRetries, ABalancersBadGatewayIsSentAgainItsTimeoutIsNot) {
  // A stand-in balancer answers the first request itself, with 502 or 504,
  // and relays the others to a service.
  kytest::ServiceInProcess service;
  ASSERT_TRUE(service.ok());
  for (const int status : {502, 504}) {
    SCOPED_TRACE(status);
    std::atomic<int> asked{0};
    httplib::Server balancer;
    balancer.Post(KyAnalysisWireContract::runPath, [&](const httplib::Request& request,
                                                       httplib::Response& response) {
      if (asked++ == 0) {
        response.status = status;
        return;
      }
      const auto relayed = httplib::Client(service.url())
                               .Post(KyAnalysisWireContract::runPath, request.body,
                                     KyAnalysisWireContract::stringContentType);
      response.status = relayed ? relayed->status : 500;
      if (relayed)
        response.set_content(relayed->body, KyAnalysisWireContract::stringContentType);
    });
    const int port = balancer.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    std::thread listening([&] { balancer.listen_after_bind(); });
    for (int i = 0; i < 200 && !balancer.is_running(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    KyRemoteAnalysisService remote((L"http://127.0.0.1:" + std::to_wstring(port)).c_str());
    remote.retries(2);
    RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1u);
    KyServiceOutputData answer;
    EXPECT_EQ(remote.run(&c.input, &answer),
              status == 502 ? ANALYSIS_ERROR_NONE : ANALYSIS_ERROR_REQUEST_REFUSED);
    EXPECT_EQ(asked, status == 502 ? 2 : 1);
    balancer.stop();
    listening.join();
  }
}

} // namespace
