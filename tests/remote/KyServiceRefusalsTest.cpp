// What a service refuses, with which status and message, and what the
// client makes of it: every refusal leaves the caller's request as it was
// and the service answering others.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyXMLUtilities.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include "remote/KyRemoteTesting.h"
#include "remote/KyServiceHealth.h"
#include "support/KyProcess.h"
#include "support/KyServiceProcess.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <arpa/inet.h>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>

namespace {

using kytest::RemoteCase;
using kytest::RequestSnapshot;

constexpr char kToken[] = "s3cret-token";

/// The serializer's string for `c`'s request.
std::string requestString(RemoteCase& c) {
  KyObjectTable table;
  unsigned char* bytes = nullptr;
  unsigned long length = 0;
  EXPECT_EQ(KyAnalysisSerializer().pInputDataToString(&c.input, &table, bytes, &length), 1);
  const std::unique_ptr<unsigned char[]> held(bytes);
  return std::string(reinterpret_cast<const char*>(bytes), length);
}

std::string base64(const std::string& text) {
  unsigned long length = 0;
  const std::unique_ptr<unsigned char[]> encoded(KyXMLUtilities::encodeBase64(
      reinterpret_cast<const unsigned char*>(text.data()), text.size(), &length));
  return std::string(reinterpret_cast<const char*>(encoded.get()), length);
}

/// Runs `c` on `service` and checks the outcome: `code`, stored alone, and
/// the request untouched.
void expectOutcome(const KyRemoteAnalysisService& service, RemoteCase& c, int code) {
  const RequestSnapshot before(c);
  KyServiceOutputData output;
  EXPECT_EQ(service.run(&c.input, &output), code);
  EXPECT_EQ(output.numberOfValues(), 1);
  EXPECT_EQ(output.getValueAsInteger(nullptr, KyAnalysisKey::errorCode), code);
  EXPECT_TRUE(RequestSnapshot(c) == before);
}

class ServiceRefusals : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(service.ok()) << service.log();
    allowed.pToken(L"s3cret-token");
  }
  /// A small request answered, as proof that the service goes on.
  void expectStillAnswering() {
    RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1u);
    KyServiceOutputData output;
    EXPECT_EQ(allowed.run(&c.input, &output), ANALYSIS_ERROR_NONE);
  }

  kytest::TempFile tokenFile{std::string(kToken) + "\n"};
  kytest::ServiceProcess service{
      {"--threads", "1", "--token-file", tokenFile.path(), "--max-request-bytes", "4096"}};
  KyRemoteAnalysisService allowed{service.wideUrl().c_str()};
};

TEST_F(ServiceRefusals, EachRefusalHasItsStatusAndMessage) {
  RemoteCase small(OPERATION_SHORTEST_PATHS, 5, 3, 2u);
  RemoteCase large(OPERATION_SHORTEST_PATHS, 200, 200, 3u);
  RemoteCase answered(OPERATION_BREADTH_FIRST_SEARCH, 4, 2, 4u);
  const std::string request = requestString(small);
  KyServiceOutputData answer;
  KyObjectTable table;
  unsigned char* answerBytes = nullptr;
  unsigned long answerLength = 0;
  allowed.run(&answered.input, &answer);
  ASSERT_EQ(KyAnalysisSerializer().pOutputDataToString(&answer, &table, answerBytes, &answerLength),
            1);
  const std::unique_ptr<unsigned char[]> answerHeld(answerBytes);
  const std::string answerString(reinterpret_cast<const char*>(answerBytes), answerLength);

  struct Case {
    const char* name;
    std::string token;
    std::string body;
    int status;
    const char* error;
    const char* message;
  };
  const std::string bearer = kToken;
  const Case cases[] = {
      {"no token", "", request, 401, "unauthorized", "carries no token"},
      {"a wrong token", "s3cret-tokeN", request, 401, "unauthorized", "not accepted"},
      {"a token one byte short", "s3cret-toke", request, 401, "unauthorized", "not accepted"},
      {"an oversized request", bearer, requestString(large), 413, "requestTooLarge", "4096 bytes"},
      {"garbage", bearer, "<not base 64>", 400, "badRequest", "not base 64"},
      {"truncated base 64", bearer, request.substr(0, request.size() - 2), 400, "badRequest",
       "not base 64"},
      {"a document type declaration", bearer,
       base64("<?xml version=\"1.0\"?><!DOCTYPE document [<!ENTITY e \"x\">]><document/>"), 400,
       "badRequest", "DOCTYPE"},
      {"an answer instead of a request", bearer, answerString, 400, "badRequest",
       "not an analysis request"},
      {"an empty body", bearer, "", 400, "badRequest", "empty"},
  };
  httplib::Client client(service.url());
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    httplib::Headers headers;
    if (!test.token.empty())
      headers.emplace("Authorization", "Bearer " + test.token);
    const auto response = client.Post("/v1/run", headers, test.body, "text/plain");
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, test.status);
    const auto body = nlohmann::json::parse(response->body);
    EXPECT_EQ(body.at("error"), test.error);
    EXPECT_NE(body.at("message").get<std::string>().find(test.message), std::string::npos)
        << body.dump();
    expectStillAnswering();
  }
  const auto unknown = client.Get("/v1/nothing");
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->status, 404);
  EXPECT_EQ(nlohmann::json::parse(unknown->body).at("error"), "notFound");
  const auto analyses = client.Get("/v1/analyses");
  ASSERT_TRUE(analyses);
  EXPECT_EQ(analyses->status, 401) << "the description is behind the token too";
}

TEST_F(ServiceRefusals, TheClientTurnsRefusalsIntoItsCodes) {
  KyRemoteAnalysisService anonymous(service.wideUrl().c_str());
  KyRemoteAnalysisService wrong(service.wideUrl().c_str());
  wrong.pToken(L"guess");
  KyRemoteAnalysisService elsewhere((service.wideUrl() + L"/elsewhere").c_str());
  elsewhere.pToken(L"s3cret-token");
  KyRemoteAnalysisService closed(L"http://127.0.0.1:1");
  KyRemoteAnalysisService unusable(L"ftp://127.0.0.1/");
  struct Case {
    const char* name;
    const KyRemoteAnalysisService* service;
    int nodes;
    int code;
  };
  const Case cases[] = {
      {"no token", &anonymous, 5, ANALYSIS_ERROR_UNAUTHORIZED},
      {"a wrong token", &wrong, 5, ANALYSIS_ERROR_UNAUTHORIZED},
      {"too large", &allowed, 300, ANALYSIS_ERROR_REQUEST_TOO_LARGE},
      {"a path the service does not serve", &elsewhere, 5, ANALYSIS_ERROR_REQUEST_REFUSED},
      {"nothing listening", &closed, 5, ANALYSIS_ERROR_CANNOT_CONNECT},
      {"a URL of no service", &unusable, 5, ANALYSIS_ERROR_CANNOT_CONNECT},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    RemoteCase c(OPERATION_SHORTEST_PATHS, test.nodes, test.nodes, 5u);
    expectOutcome(*test.service, c, test.code);
  }
  expectStillAnswering();
}

TEST_F(ServiceRefusals, ASlowClientGetsRequestTimeoutWhileOthersAreAnswered) {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(socket, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(service.port()));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const timeval limit{30, 0};
  setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  const std::string start = std::string("POST /v1/run HTTP/1.1\r\nHost: 127.0.0.1\r\n") +
                            "Authorization: Bearer " + kToken +
                            "\r\nContent-Length: 100\r\n\r\nAAAAAAAAAA";
  ASSERT_EQ(send(socket, start.data(), start.size(), 0), static_cast<ssize_t>(start.size()));

  expectStillAnswering();
  // The service closes the connection after its answer; headers and body
  // may come in separate pieces.
  std::string response;
  char piece[4096];
  for (ssize_t got; (got = recv(socket, piece, sizeof piece, 0)) > 0;)
    response.append(piece, static_cast<std::size_t>(got));
  close(socket);
  ASSERT_FALSE(response.empty()) << "no answer within 30 s";
  EXPECT_EQ(response.rfind("HTTP/1.1 408", 0), 0u) << response;
  EXPECT_NE(response.find("\"requestTimeout\""), std::string::npos) << response;
  expectStillAnswering();
}

TEST(ServiceBusy, AFullServiceAnswersBusyAndTheClientTimesOutOnItsLimit) {
  kytest::ServiceProcess service({"--threads", "1", "--queue", "0"});
  ASSERT_TRUE(service.ok()) << service.log();
  KyRemoteAnalysisService remote(service.wideUrl().c_str());
  // All pairs of 300 nodes keep the one worker busy for a while.
  RemoteCase heavy(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 300, 1200, 6u);
  KyServiceOutputData heavyAnswer;
  int heavyCode = -1;
  std::thread worker([&] { heavyCode = remote.run(&heavy.input, &heavyAnswer); });
  ASSERT_TRUE(kytest::awaitLoad(service, 1, 0));

  RemoteCase small(OPERATION_SHORTEST_PATHS, 5, 3, 7u);
  expectOutcome(remote, small, ANALYSIS_ERROR_SERVICE_BUSY);
  httplib::Client client(service.url());
  const auto busy = client.Post("/v1/run", requestString(small), "text/plain");
  ASSERT_TRUE(busy);
  EXPECT_EQ(busy->status, 503);
  EXPECT_EQ(busy->get_header_value("Retry-After"), "1");
  EXPECT_EQ(nlohmann::json::parse(busy->body).at("error"), "serviceBusy");
  worker.join();
  EXPECT_EQ(heavyCode, ANALYSIS_ERROR_NONE);

  KyRemoteAnalysisService impatient(service.wideUrl().c_str());
  impatient.readTimeLimit(20);
  RemoteCase again(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 300, 1200, 6u);
  expectOutcome(impatient, again, ANALYSIS_ERROR_TIMED_OUT);
  ASSERT_TRUE(kytest::awaitLoad(service, 0, 0));
  KyServiceOutputData output;
  EXPECT_EQ(remote.run(&small.input, &output), ANALYSIS_ERROR_NONE);
}

} // namespace
