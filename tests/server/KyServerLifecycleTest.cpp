// Starting and stopping a server in the test's own process: the options it
// refuses, the address it listens on, TLS, the requests it answers before
// stop() returns, and the line it logs for each.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include "remote/KyRemoteTesting.h"
#include "server/KyServerTesting.h"
#include "support/KyServiceHealth.h"
#include "support/KyServiceInProcess.h"
#include "support/KyTestCertificate.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <regex>
#include <set>
#include <thread>
#include <vector>

namespace {

using kytest::RemoteCase;
using kytest::Renderer;
using kytest::RequestSnapshot;

/// Options on 127.0.0.1, port 0, one worker, with `change` applied.
template <typename Change> KyAnalysisServerOptions options(Change change) {
  KyAnalysisServerOptions options;
  options.port = 0;
  options.threads = 1;
  change(options);
  return options;
}

TEST(ServerStart, RefusesOptionsItCannotServe) {
  const kytest::TempFile notPem("not a certificate\n");
  using Options = KyAnalysisServerOptions;
  struct Case {
    const char* name;
    KyAnalysisServerOptions options;
    KyAnalysisServerStartEnum outcome;
  };
  const Case cases[] = {
      {"the defaults on a free port", options([](Options&) {}), SERVER_STARTED},
      {"a port one past the largest", options([](Options& o) { o.port = 65536; }),
       SERVER_INVALID_OPTIONS},
      {"a negative port", options([](Options& o) { o.port = -1; }), SERVER_INVALID_OPTIONS},
      {"a negative thread count", options([](Options& o) { o.threads = -1; }),
       SERVER_INVALID_OPTIONS},
      {"no queue", options([](Options& o) { o.queue = 0; }), SERVER_STARTED},
      {"a negative queue", options([](Options& o) { o.queue = -1; }), SERVER_INVALID_OPTIONS},
      {"a queue of 100000, which costs threads only when full",
       options([](Options& o) { o.queue = 100000; }), SERVER_STARTED},
      {"a body limit of one byte", options([](Options& o) { o.maxRequestBytes = 1; }),
       SERVER_STARTED},
      {"a body limit of nothing", options([](Options& o) { o.maxRequestBytes = 0; }),
       SERVER_INVALID_OPTIONS},
      {"a read time of 1 s", options([](Options& o) { o.readSeconds = 1; }), SERVER_STARTED},
      {"a read time of 0 s", options([](Options& o) { o.readSeconds = 0; }),
       SERVER_INVALID_OPTIONS},
      {"no host", options([](Options& o) { o.host.clear(); }), SERVER_INVALID_OPTIONS},
      {"a header time of 1 s", options([](Options& o) { o.headerSeconds = 1; }), SERVER_STARTED},
      {"a header time of 0 s", options([](Options& o) { o.headerSeconds = 0; }),
       SERVER_INVALID_OPTIONS},
      {"a request time of 1 s", options([](Options& o) { o.requestSeconds = 1; }), SERVER_STARTED},
      {"a request time of 0 s", options([](Options& o) { o.requestSeconds = 0; }),
       SERVER_INVALID_OPTIONS},
      {"a drain time of 1 s", options([](Options& o) { o.drainSeconds = 1; }), SERVER_STARTED},
      {"a drain time of 0 s", options([](Options& o) { o.drainSeconds = 0; }),
       SERVER_INVALID_OPTIONS},
      {"one connection", options([](Options& o) { o.maxConnections = 1; }), SERVER_STARTED},
      {"no connection", options([](Options& o) { o.maxConnections = 0; }), SERVER_INVALID_OPTIONS},
      {"no limit per address", options([](Options& o) { o.maxConnectionsPerAddress = 0; }),
       SERVER_STARTED},
      {"a negative limit per address", options([](Options& o) { o.maxConnectionsPerAddress = -1; }),
       SERVER_INVALID_OPTIONS},
      {"one header field", options([](Options& o) { o.maxHeaders = 1; }), SERVER_STARTED},
      {"no header field", options([](Options& o) { o.maxHeaders = 0; }), SERVER_INVALID_OPTIONS},
      {"headers of 1024 bytes", options([](Options& o) { o.maxHeaderBytes = 1024; }),
       SERVER_STARTED},
      {"headers of 1023 bytes", options([](Options& o) { o.maxHeaderBytes = 1023; }),
       SERVER_INVALID_OPTIONS},
      {"a budget of one byte", options([](Options& o) { o.memoryBudgetBytes = 1; }),
       SERVER_STARTED},
      {"a budget of nothing", options([](Options& o) { o.memoryBudgetBytes = 0; }),
       SERVER_INVALID_OPTIONS},
      {"an answer of one value", options([](Options& o) { o.maxAnswerValues = 1; }),
       SERVER_STARTED},
      {"an answer of no value", options([](Options& o) { o.maxAnswerValues = 0; }),
       SERVER_INVALID_OPTIONS},
      {"a certificate without key",
       options([&](Options& o) { o.tlsCertificateFile = notPem.path(); }), SERVER_INVALID_OPTIONS},
      {"a key without certificate", options([&](Options& o) { o.tlsKeyFile = notPem.path(); }),
       SERVER_INVALID_OPTIONS},
      {"every interface, nothing else", options([](Options& o) { o.host = "0.0.0.0"; }),
       SERVER_UNSAFE_ADDRESS},
      {"every interface with a token only", options([](Options& o) {
         o.host = "0.0.0.0";
         o.token = "t0ken";
       }),
       SERVER_UNSAFE_ADDRESS},
      {"every interface with TLS only", options([&](Options& o) {
         o.host = "0.0.0.0";
         o.tlsCertificateFile = o.tlsKeyFile = notPem.path();
       }),
       SERVER_UNSAFE_ADDRESS},
      {"files that are no certificate and key",
       options([&](Options& o) { o.tlsCertificateFile = o.tlsKeyFile = notPem.path(); }),
       SERVER_TLS_UNREADABLE},
      {"a certificate that is missing",
       options([](Options& o) { o.tlsCertificateFile = o.tlsKeyFile = "/nonexistent"; }),
       SERVER_TLS_UNREADABLE},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    KyAnalysisServer server(test.options);
    EXPECT_EQ(server.start(), test.outcome);
    EXPECT_EQ(server.running(), test.outcome == SERVER_STARTED);
    EXPECT_EQ(server.port() != 0, test.outcome == SERVER_STARTED);
  }
}

TEST(ServerStart, LoopbackHostsAreThoseOnlyThisMachineReaches) {
  for (const char* host : {"localhost", "127.0.0.1", "127.255.255.254", "::1", "0:0:0:0:0:0:0:1"})
    EXPECT_TRUE(KyAnalysisServer::isLoopback(host)) << host;
  for (const char* host : {"0.0.0.0", "::", "128.0.0.1", "126.255.255.255", "10.0.0.1",
                           "::ffff:127.0.0.1", "localhost.", "example.org", ""})
    EXPECT_FALSE(KyAnalysisServer::isLoopback(host)) << host;
}

TEST(ServerStart, APortInUseIsRefusedAndItsServerKeepsAnswering) {
  kytest::ServiceInProcess first;
  ASSERT_TRUE(first.ok());
  KyAnalysisServer second(options([&](KyAnalysisServerOptions& o) { o.port = first.port(); }));
  EXPECT_EQ(second.start(), SERVER_CANNOT_LISTEN);
  EXPECT_FALSE(second.running());
  RemoteCase c(OPERATION_SHORTEST_PATHS, 8, 12, 1);
  KyServiceOutputData answer;
  EXPECT_EQ(KyRemoteAnalysisService(first.wideUrl().c_str()).run(&c.input, &answer),
            ANALYSIS_ERROR_NONE);
}

TEST(ServerStart, AServerStartsOnceAndTellsWhereItListens) {
  KyAnalysisServer server(options([](KyAnalysisServerOptions& o) { o.threads = 3; }));
  EXPECT_FALSE(server.running());
  EXPECT_EQ(server.port(), 0);
  EXPECT_EQ(server.url(), "");
  EXPECT_EQ(server.workers(), 3);
  ASSERT_EQ(server.start(), SERVER_STARTED);
  EXPECT_GT(server.port(), 0);
  EXPECT_EQ(server.url(), "http://127.0.0.1:" + std::to_string(server.port()));
  EXPECT_EQ(server.start(), SERVER_ALREADY_STARTED);
  const std::string url = server.url();
  server.stop();
  EXPECT_FALSE(server.running());
  EXPECT_EQ(server.url(), "");
  server.stop(); // nothing to do
  EXPECT_EQ(server.start(), SERVER_ALREADY_STARTED);
  RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1);
  KyServiceOutputData answer;
  const std::wstring wide(url.begin(), url.end());
  EXPECT_EQ(KyRemoteAnalysisService(wide.c_str()).run(&c.input, &answer),
            ANALYSIS_ERROR_CANNOT_CONNECT);

  KyAnalysisServer cores(options([](KyAnalysisServerOptions& o) { o.threads = 0; }));
  EXPECT_EQ(cores.workers(), static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
}

TEST(ServerStart, AnIpv6LoopbackAddressIsBracketedInTheUrl) {
  kytest::ServiceInProcess service(options([](KyAnalysisServerOptions& o) { o.host = "::1"; }));
  if (service.started() == SERVER_CANNOT_LISTEN)
    GTEST_SKIP() << "this machine has no ::1";
  ASSERT_TRUE(service.ok());
  EXPECT_EQ(service.url(), "http://[::1]:" + std::to_string(service.port()));
  RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1);
  KyServiceOutputData answer;
  EXPECT_EQ(KyRemoteAnalysisService(service.wideUrl().c_str()).run(&c.input, &answer),
            ANALYSIS_ERROR_NONE);
}

TEST(ServerStop, AnswersEveryRequestAcceptedThenReturns) {
  // Time enough to drain whatever the build: these runs are not stopped.
  kytest::ServiceInProcess service(options([](KyAnalysisServerOptions& o) {
    o.queue = 4;
    o.drainSeconds = 300;
  }));
  ASSERT_TRUE(service.ok());
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
  service.stop();
  std::size_t answered = 0;
  for (const std::string& line : service.log()) {
    const auto fields = nlohmann::json::parse(line);
    answered += fields.at("analysis") == "allPairsShortestPaths" && fields.at("status") == 200;
  }
  EXPECT_EQ(answered, static_cast<std::size_t>(kRequests))
      << "stop() returned before every request was answered:\n"
      << service.logText();
  for (std::thread& caller : callers)
    caller.join();
  for (int i = 0; i < kRequests; ++i) {
    EXPECT_EQ(codes[i], ANALYSIS_ERROR_NONE) << "request " << i;
    KyServiceOutputData local;
    KyLocalAnalysisService().run(&cases[i]->input, &local);
    const Renderer renderer(cases[i]->graph, cases[i]->input);
    EXPECT_EQ(renderer.lines(answers[i]), renderer.lines(local));
  }
}

TEST(ServerTls, ATrustedCertificateIsAnsweredAndAnUnknownOneRefused) {
  const kytest::TestCertificate certificate;
  kytest::ServiceInProcess service(options([&](KyAnalysisServerOptions& o) {
    o.tlsCertificateFile = certificate.certificate();
    o.tlsKeyFile = certificate.key();
  }));
  ASSERT_TRUE(service.ok());
  ASSERT_EQ(service.url().rfind("https://127.0.0.1:", 0), 0u);
  const std::wstring file(certificate.certificate().begin(), certificate.certificate().end());

  KyRemoteAnalysisService trusting(service.wideUrl().c_str());
  trusting.pCertificateAuthorityFile(file.c_str());
  KyRemoteAnalysisService unverifying(service.wideUrl().c_str());
  unverifying.verifyingCertificate(0);
  const KyRemoteAnalysisService refusing(service.wideUrl().c_str());
  const std::string plainUrl = "http://127.0.0.1:" + std::to_string(service.port());
  const KyRemoteAnalysisService plain(std::wstring(plainUrl.begin(), plainUrl.end()).c_str());
  struct Case {
    const char* name;
    const KyRemoteAnalysisService* service;
    int code;
  };
  for (const Case& test :
       {Case{"trusting the certificate", &trusting, ANALYSIS_ERROR_NONE},
        Case{"not verifying", &unverifying, ANALYSIS_ERROR_NONE},
        Case{"an unknown certificate", &refusing, ANALYSIS_ERROR_CANNOT_CONNECT},
        Case{"plain HTTP to a TLS port", &plain, ANALYSIS_ERROR_UNREADABLE_ANSWER}}) {
    SCOPED_TRACE(test.name);
    RemoteCase c(OPERATION_MINIMUM_SPANNING_TREE, 8, 12, 30u);
    const RequestSnapshot before(c);
    KyServiceOutputData remote, local;
    EXPECT_EQ(test.service->run(&c.input, &remote), test.code);
    EXPECT_TRUE(RequestSnapshot(c) == before);
    if (test.code == ANALYSIS_ERROR_NONE) {
      KyLocalAnalysisService().run(&c.input, &local);
      const Renderer renderer(c.graph, c.input);
      EXPECT_EQ(renderer.lines(remote), renderer.lines(local));
    }
  }
}

TEST(ServerLog, OneJsonLinePerRequestWithWhatItAskedAndHowItWasAnswered) {
  kytest::ServiceInProcess service(options([](KyAnalysisServerOptions& o) { o.token = "t"; }));
  ASSERT_TRUE(service.ok());
  KyRemoteAnalysisService allowed(service.wideUrl().c_str());
  allowed.pToken(L"t");
  const KyRemoteAnalysisService anonymous(service.wideUrl().c_str());
  httplib::Client client(service.url());
  struct Case {
    const char* name;
    std::function<void()> request;
    const char* method;
    std::string path;
    const char* analysis;
    const char* graph;
    int status;
  };
  const Case cases[] = {
      {"an answered request",
       [&] {
         RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1);
         KyServiceOutputData answer;
         allowed.run(&c.input, &answer);
       },
       "POST", "/v1/run", "shortestPaths", "5/7", 200},
      {"an engine error travels as an answer",
       [&] {
         RemoteCase c(OPERATION_SHORTEST_PATHS, 4, 0, 1);
         c.input.storeOwned(nullptr, KyAnalysisKey::all::noneOperation, new KyInt(99));
         KyServiceOutputData answer;
         allowed.run(&c.input, &answer);
       },
       "POST", "/v1/run", "-", "4/3", 200},
      {"a refused token",
       [&] {
         RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1);
         KyServiceOutputData answer;
         anonymous.run(&c.input, &answer);
       },
       "POST", "/v1/run", "-", "-", 401},
      {"a body that is no request",
       [&] {
         client.Post("/v1/run", {{"Authorization", "Bearer t"}}, "AAAA", "text/plain");
       },
       "POST", "/v1/run", "-", "-", 400},
      {"the health", [&] { client.Get("/healthz"); }, "GET", "/healthz", "-", "-", 200},
      {"no endpoint", [&] { client.Get("/nothing"); }, "GET", "/nothing", "-", "-", 404},
      // A path that would end the line and start a forged one stays inside
      // its field.
      {"a line end in the path", [&] { client.Get("/x%0a2024-05-01T00:00:00.000Z%22forged"); },
       "GET", "/x\n2024-05-01T00:00:00.000Z\"forged", "-", "-", 404},
      {"bytes that are not UTF-8", [&] { client.Get("/%ff%fe"); }, "GET",
       "/\xEF\xBF\xBD\xEF\xBF\xBD", "-", "-", 404},
  };
  const std::regex stamp("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}Z");
  std::set<std::string> ids;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const std::size_t before = service.log().size();
    test.request();
    const std::vector<std::string> log = service.awaitLog(before + 1);
    ASSERT_EQ(log.size(), before + 1) << service.logText();
    EXPECT_EQ(log.back().find('\n'), std::string::npos);
    const auto line = nlohmann::json::parse(log.back());
    EXPECT_TRUE(std::regex_match(line.at("time").get<std::string>(), stamp)) << log.back();
    EXPECT_TRUE(
        std::regex_match(line.at("peer").get<std::string>(), std::regex("127\\.0\\.0\\.1:[0-9]+")))
        << log.back();
    EXPECT_EQ(line.at("method"), test.method);
    EXPECT_EQ(line.at("path"), test.path);
    EXPECT_EQ(line.at("analysis"), test.analysis);
    EXPECT_EQ(line.at("graph"), test.graph);
    EXPECT_EQ(line.at("status"), test.status);
    EXPECT_GE(line.at("ms").get<int>(), 0);
    EXPECT_TRUE(ids.insert(line.at("id").get<std::string>()).second) << "ids are unique";
  }
}

} // namespace
