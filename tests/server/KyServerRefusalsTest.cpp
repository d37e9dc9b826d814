// What a server refuses, with which status and message: every limit at its
// value and one past it, every way a body can be framed, every way a token
// can be wrong; and the server answering others all along.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyXMLUtilities.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include "remote/KyRemoteTesting.h"
#include "server/KyServerTesting.h"
#include "support/KyServiceHealth.h"
#include "support/KyServiceInProcess.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <memory>
#include <thread>

namespace {

using kytest::RemoteCase;

constexpr char kToken[] = "s3cret-token";

std::string base64(const std::string& text) {
  unsigned long length = 0;
  const std::unique_ptr<unsigned char[]> encoded(KyXMLUtilities::encodeBase64(
      reinterpret_cast<const unsigned char*>(text.data()), text.size(), &length));
  return std::string(reinterpret_cast<const char*>(encoded.get()), length);
}

KyAnalysisServerOptions tokenOptions(std::size_t maxRequestBytes) {
  KyAnalysisServerOptions options;
  options.threads = 1;
  options.token = kToken;
  options.maxRequestBytes = maxRequestBytes;
  options.analyses = "{\"analyses\": []}\n";
  return options;
}

/// A POST of `body` to /v1/run, framed by its length or in chunks of
/// `piece` bytes (0: by its length), that asks for the connection to close.
std::string post(const std::string& body, std::size_t piece = 0,
                 const std::string& authorization = std::string("Bearer ") + kToken) {
  std::string head = "POST /v1/run HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
  if (!authorization.empty())
    head += "Authorization: " + authorization + "\r\n";
  if (piece == 0)
    return head + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  return head + "Transfer-Encoding: chunked\r\n\r\n" + kytest::chunked(body, piece);
}

class ServerRefusals : public testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(service.ok()) << service.started(); }
  /// A small request answered, as proof that the server goes on.
  void expectStillAnswering() {
    RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1u);
    KyRemoteAnalysisService allowed(service.wideUrl().c_str());
    allowed.pToken(L"s3cret-token");
    KyServiceOutputData output;
    EXPECT_EQ(allowed.run(&c.input, &output), ANALYSIS_ERROR_NONE);
  }

  kytest::ServiceInProcess service{tokenOptions(4096)};
};

TEST_F(ServerRefusals, EachRefusalHasItsStatusAndMessage) {
  RemoteCase small(OPERATION_SHORTEST_PATHS, 5, 3, 2u);
  RemoteCase large(OPERATION_SHORTEST_PATHS, 200, 200, 3u);
  RemoteCase answered(OPERATION_BREADTH_FIRST_SEARCH, 4, 2, 4u);
  const std::string request = kytest::requestString(small);
  KyServiceOutputData answer;
  KyObjectTable table;
  unsigned char* answerBytes = nullptr;
  unsigned long answerLength = 0;
  KyLocalAnalysisService().run(&answered.input, &answer);
  ASSERT_EQ(KyAnalysisSerializer().pOutputDataToString(&answer, &table, answerBytes, &answerLength),
            1);
  const std::unique_ptr<unsigned char[]> answerHeld(answerBytes);
  const std::string answerString(reinterpret_cast<const char*>(answerBytes), answerLength);

  struct Case {
    const char* name;
    std::string authorization;
    std::string body;
    int status;
    const char* error;
    const char* message;
  };
  const std::string bearer = std::string("Bearer ") + kToken;
  const Case cases[] = {
      {"no token", "", request, 401, "unauthorized", "carries no token"},
      {"a wrong token", "Bearer s3cret-tokeN", request, 401, "unauthorized", "not accepted"},
      {"a token one byte short", "Bearer s3cret-toke", request, 401, "unauthorized",
       "not accepted"},
      {"a token one byte long", "Bearer s3cret-token!", request, 401, "unauthorized",
       "not accepted"},
      {"the token under another scheme of the same length", std::string("XXXXXXX") + kToken,
       request, 401, "unauthorized", "not accepted"},
      {"the token alone", kToken, request, 401, "unauthorized", "not accepted"},
      {"an oversized request", bearer, kytest::requestString(large), 413, "requestTooLarge",
       "4096 bytes"},
      {"an oversized request without a token", "", kytest::requestString(large), 401,
       "unauthorized", "carries no token"},
      {"garbage", bearer, "<not base 64>", 400, "badRequest", "not base 64"},
      {"truncated base 64", bearer, request.substr(0, request.size() - 2), 400, "badRequest",
       "not base 64"},
      {"a request cut by a zero byte", bearer, request + std::string(1, '\0') + "AAAA", 400,
       "badRequest", "not base 64"},
      {"a document type declaration", bearer,
       base64("<?xml version=\"1.0\"?><!DOCTYPE document [<!ENTITY e \"x\">]><document/>"), 400,
       "badRequest", "DOCTYPE"},
      {"an answer instead of a request", bearer, answerString, 400, "badRequest",
       "not an analysis request"},
      {"an empty body", bearer, "", 400, "badRequest", "empty"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const kytest::RawAnswer answer =
        kytest::exchange(service.port(), post(test.body, 0, test.authorization));
    ASSERT_EQ(answer.status, test.status) << answer.head << answer.body;
    EXPECT_NE(answer.head.find("Content-Type: application/json"), std::string::npos);
    const auto body = nlohmann::json::parse(answer.body);
    EXPECT_EQ(body.at("error"), test.error);
    EXPECT_NE(body.at("message").get<std::string>().find(test.message), std::string::npos)
        << body.dump();
    EXPECT_EQ(answer.head.find("WWW-Authenticate: Bearer") != std::string::npos,
              test.status == 401);
    expectStillAnswering();
  }
}

TEST_F(ServerRefusals, TheOtherEndpointsAndTheirToken) {
  httplib::Client client(service.url());
  const httplib::Headers bearer = {{"Authorization", std::string("Bearer ") + kToken}};
  struct Case {
    const char* name;
    const char* method;
    const char* path;
    httplib::Headers headers;
    int status;
    std::string body;
  };
  const Case cases[] = {
      {"the analyses", "GET", "/v1/analyses", bearer, 200, "{\"analyses\": []}\n"},
      {"the analyses without a token", "GET", "/v1/analyses", {}, 401, ""},
      // The scheme's name is matched whatever its letters' case; the token's is not.
      {"the scheme in small letters",
       "GET",
       "/v1/analyses",
       {{"Authorization", std::string("bearer ") + kToken}},
       200,
       "{\"analyses\": []}\n"},
      {"the scheme in capitals",
       "GET",
       "/v1/analyses",
       {{"Authorization", std::string("BEARER ") + kToken}},
       200,
       "{\"analyses\": []}\n"},
      {"the token in capitals",
       "GET",
       "/v1/analyses",
       {{"Authorization", "Bearer S3CRET-TOKEN"}},
       401,
       ""},
      {"the health, which needs no token",
       "GET",
       "/healthz",
       {},
       200,
       "{\"busy\":0,\"queued\":0,\"status\":\"ok\",\"workers\":1}\n"},
      {"a path of no endpoint", "GET", "/v1/nothing", bearer, 404, ""},
      {"a method of no endpoint", "DELETE", "/v1/run", bearer, 404, ""},
      {"a run by GET", "GET", "/v1/run", bearer, 404, ""},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const httplib::Result answer = std::string(test.method) == "GET"
                                       ? client.Get(test.path, test.headers)
                                       : client.Delete(test.path, test.headers);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, test.status);
    EXPECT_EQ(answer->get_header_value("Content-Type"), "application/json");
    if (!test.body.empty()) {
      EXPECT_EQ(answer->body, test.body);
    } else if (test.status == 404) {
      EXPECT_EQ(nlohmann::json::parse(answer->body).at("error"), "notFound");
    }
  }

  kytest::ServiceInProcess undescribed;
  ASSERT_TRUE(undescribed.ok());
  const auto missing = httplib::Client(undescribed.url()).Get("/v1/analyses");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404) << "no description of the analyses was given";
}

TEST(ServerBodies, TheLimitHoldsAtItsValueWhateverTheFraming) {
  RemoteCase c(OPERATION_SHORTEST_PATHS, 6, 4, 9u);
  const std::string request = kytest::requestString(c);
  kytest::ServiceInProcess service(tokenOptions(request.size()));
  ASSERT_TRUE(service.ok());
  const kytest::RawAnswer reference = kytest::exchange(service.port(), post(request));
  ASSERT_EQ(reference.status, 200) << reference.body;
  EXPECT_NE(reference.head.find("Content-Type: text/plain"), std::string::npos);

  struct Case {
    const char* name;
    std::size_t piece;
  };
  // Pieces of 7 bytes cross the limit inside a chunk; pieces as long as the
  // request end one chunk exactly at it.
  const Case framings[] = {{"by its length", 0},
                           {"in one chunk", request.size()},
                           {"in chunks of 7 bytes", 7},
                           {"in chunks of 1 byte", 1}};
  for (const Case& framing : framings) {
    SCOPED_TRACE(framing.name);
    const kytest::RawAnswer atLimit =
        kytest::exchange(service.port(), post(request, framing.piece));
    EXPECT_EQ(atLimit.status, 200) << atLimit.body;
    EXPECT_EQ(atLimit.body, reference.body);
    const kytest::RawAnswer past =
        kytest::exchange(service.port(), post(request + "A", framing.piece));
    EXPECT_EQ(past.status, 413) << past.body;
  }
}

TEST(ServerBodies, ABodyWithoutLengthOrChunksIsNoneAndTheConnectionCloses) {
  KyAnalysisServerOptions options = tokenOptions(4096);
  options.readSeconds = 1;
  kytest::ServiceInProcess service(options);
  ASSERT_TRUE(service.ok());
  RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 2u);
  // No "Connection: close": the server must close by itself, or the read
  // below runs into its time limit.
  const kytest::RawAnswer answer =
      kytest::exchange(service.port(), std::string("POST /v1/run HTTP/1.1\r\nHost: 127.0.0.1\r\n") +
                                           "Authorization: Bearer " + kToken + "\r\n\r\n" +
                                           kytest::requestString(c));
  EXPECT_EQ(answer.status, 400);
  EXPECT_NE(answer.body.find("the request is empty"), std::string::npos) << answer.body;
  EXPECT_NE(answer.head.find("Connection: close"), std::string::npos) << answer.head;
  EXPECT_TRUE(answer.closed);
}

TEST(ServerBodies, AStalledBodyIsCutOffWhileOthersAreAnswered) {
  KyAnalysisServerOptions options = tokenOptions(4096);
  options.readSeconds = 1;
  kytest::ServiceInProcess service(options);
  ASSERT_TRUE(service.ok());
  kytest::RawConnection slow(service.port());
  ASSERT_TRUE(slow.connected());
  ASSERT_TRUE(slow.send(std::string("POST /v1/run HTTP/1.1\r\nHost: 127.0.0.1\r\n") +
                        "Authorization: Bearer " + kToken +
                        "\r\nContent-Length: 100\r\n\r\nAAAAAAAAAA"));

  RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1u);
  KyRemoteAnalysisService allowed(service.wideUrl().c_str());
  allowed.pToken(L"s3cret-token");
  KyServiceOutputData output;
  EXPECT_EQ(allowed.run(&c.input, &output), ANALYSIS_ERROR_NONE);
  const auto start = std::chrono::steady_clock::now();
  const std::string response = slow.receiveAll();
  EXPECT_TRUE(slow.closed) << "still open after 30 s";
  EXPECT_EQ(response, "") << "a request that never arrived gets no answer";
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(ServerBusy, TheQueueTakesItsLengthAndRefusesOneMore) {
  KyAnalysisServerOptions options;
  options.threads = 1;
  options.queue = 1;
  kytest::ServiceInProcess service(options);
  ASSERT_TRUE(service.ok());
  const KyRemoteAnalysisService remote(service.wideUrl().c_str());
  // All pairs of 300 nodes keep the one worker busy for a while.
  RemoteCase first(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 300, 1200, 6u);
  RemoteCase second(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 300, 1200, 7u);
  KyServiceOutputData firstAnswer, secondAnswer;
  int firstCode = -1, secondCode = -1;
  std::thread worker([&] { firstCode = remote.run(&first.input, &firstAnswer); });
  ASSERT_TRUE(kytest::awaitLoad(service.url(), 1, 0));
  std::thread waiting([&] { secondCode = remote.run(&second.input, &secondAnswer); });
  ASSERT_TRUE(kytest::awaitLoad(service.url(), 1, 1)) << "the queue takes one";

  RemoteCase small(OPERATION_SHORTEST_PATHS, 5, 3, 8u);
  const auto busy =
      httplib::Client(service.url()).Post("/v1/run", kytest::requestString(small), "text/plain");
  ASSERT_TRUE(busy);
  EXPECT_EQ(busy->status, 503) << "and refuses one more";
  EXPECT_EQ(busy->get_header_value("Retry-After"), "1");
  EXPECT_EQ(nlohmann::json::parse(busy->body).at("error"), "serviceBusy");
  worker.join();
  waiting.join();
  EXPECT_EQ(firstCode, ANALYSIS_ERROR_NONE);
  EXPECT_EQ(secondCode, ANALYSIS_ERROR_NONE);
  KyServiceOutputData output;
  EXPECT_EQ(remote.run(&small.input, &output), ANALYSIS_ERROR_NONE);
}

} // namespace
