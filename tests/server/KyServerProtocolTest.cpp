// How strictly a server reads HTTP: the framing of bodies, the header
// fields it takes, pipelined requests, a client that half-closes, and the
// connections it keeps per client address.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>

#include "remote/KyRemoteTesting.h"
#include "server/KyServerTesting.h"
#include "support/KyServiceInProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using kytest::RemoteCase;

constexpr char kToken[] = "s3cret-token";

KyAnalysisServerOptions protocolOptions() {
  KyAnalysisServerOptions options;
  options.threads = 1;
  options.token = kToken;
  options.maxHeaders = 10;
  options.maxHeaderBytes = 4096;
  options.readSeconds = 2;
  return options;
}

std::string head(const std::string& fields) {
  return std::string("POST /v1/run HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n") +
         "Authorization: Bearer " + kToken + "\r\n" + fields + "\r\n";
}

std::string errorOf(const kytest::RawAnswer& answer) {
  const auto body = nlohmann::json::parse(answer.body, nullptr, false);
  return body.is_object() && body.contains("error") ? body.at("error").get<std::string>() : "";
}

TEST(ServerProtocol, ABodyIsFramedOneWayBeyondDoubt) {
  kytest::ServiceInProcess service(protocolOptions());
  ASSERT_TRUE(service.ok());
  RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1u);
  const std::string body = kytest::requestString(c);
  const std::string length = "Content-Length: " + std::to_string(body.size()) + "\r\n";
  const kytest::RawAnswer reference = kytest::exchange(service.port(), head(length) + body);
  ASSERT_EQ(reference.status, 200) << reference.body;

  struct Case {
    const char* name;
    std::string request;
    int status;
    const char* error;
  };
  const Case cases[] = {
      {"a length in digits", head(length) + body, 200, ""},
      // The HTTP layer refuses these before the service sees them.
      {"a length in another notation", head("Content-Length: 1e3\r\n") + body, 400, nullptr},
      {"a negative length", head("Content-Length: -1\r\n") + body, 400, nullptr},
      {"the length twice, the same", head(length + length) + body, 400, "badRequest"},
      {"a length and chunks",
       head(length + "Transfer-Encoding: chunked\r\n") + kytest::chunked(body, 64), 400,
       "badRequest"},
      {"chunks, the coding in capitals",
       head("Transfer-Encoding: Chunked\r\n") + kytest::chunked(body, 64), 200, ""},
      {"chunks, the coding in upper case",
       head("Transfer-Encoding: CHUNKED\r\n") + kytest::chunked(body, 64), 200, ""},
      {"a coding the service does not read",
       head("Transfer-Encoding: gzip, chunked\r\n") + kytest::chunked(body, 64), 400, "badRequest"},
      {"a compressed body", head(length + "Content-Encoding: gzip\r\n") + body, 415,
       "unsupportedEncoding"},
      {"a body said to be as it is", head(length + "Content-Encoding: identity\r\n") + body, 200,
       ""},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const kytest::RawAnswer answer = kytest::exchange(service.port(), test.request);
    EXPECT_EQ(answer.status, test.status) << answer.head << answer.body;
    if (test.status == 200) {
      EXPECT_EQ(answer.body, reference.body);
    } else if (test.error != nullptr) {
      EXPECT_EQ(errorOf(answer), test.error) << answer.body;
    }
    EXPECT_TRUE(answer.closed);
  }
}

TEST(ServerProtocol, HeaderFieldsAreTakenUpToTheirCapInNumberAndSize) {
  kytest::ServiceInProcess service(protocolOptions());
  ASSERT_TRUE(service.ok());
  const auto health = [&](int fields, std::size_t valueBytes) {
    std::string request = "GET /healthz HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    for (int i = 2; i < fields; ++i)
      request += "X-Field-" + std::to_string(i) + ": " + std::string(valueBytes, 'v') + "\r\n";
    return kytest::exchange(service.port(), request + "\r\n");
  };
  EXPECT_EQ(health(10, 10).status, 200) << "ten fields, the cap";
  const kytest::RawAnswer past = health(11, 10);
  EXPECT_EQ(past.status, 431) << "one field more";
  EXPECT_EQ(errorOf(past), "headersTooLarge");
  EXPECT_EQ(health(4, 1000).status, 200) << "3 kB of fields, within 4 kB";
  const kytest::RawAnswer large = health(4, 20000);
  EXPECT_TRUE(large.status == 431 || (large.status == 0 && large.closed))
      << "60 kB of fields: " << large.status;
  const kytest::RawAnswer many = health(100000, 0);
  EXPECT_TRUE(many.status == 431 || (many.status == 0 && many.closed))
      << "100 000 fields: " << many.status;
}

TEST(ServerProtocol, PipelinedRequestsAreEachAnsweredInOrder) {
  kytest::ServiceInProcess service(protocolOptions());
  ASSERT_TRUE(service.ok());
  RemoteCase first(OPERATION_SHORTEST_PATHS, 5, 3, 1u);
  RemoteCase second(OPERATION_BREADTH_FIRST_SEARCH, 6, 4, 2u);
  const auto post = [](const std::string& body, bool last) {
    return std::string("POST /v1/run HTTP/1.1\r\nHost: 127.0.0.1\r\n") +
           (last ? "Connection: close\r\n" : "") + "Authorization: Bearer " + kToken +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  };
  const std::string one = kytest::requestString(first);
  const std::string two = kytest::requestString(second);
  const std::string answerOne = kytest::exchange(service.port(), post(one, true)).body;
  const std::string answerTwo = kytest::exchange(service.port(), post(two, true)).body;

  kytest::RawConnection connection(service.port());
  ASSERT_TRUE(
      connection.send(post(one, false) + "GET /healthz HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" +
                      "GET /nothing HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" + post(two, true)));
  const std::vector<kytest::RawAnswer> answers = kytest::answersIn(connection.receiveAll());
  ASSERT_EQ(answers.size(), 4u);
  EXPECT_EQ(answers[0].body, answerOne);
  EXPECT_EQ(answers[1].status, 200);
  EXPECT_NE(answers[1].body.find("\"status\":\"ok\""), std::string::npos);
  EXPECT_EQ(answers[2].status, 404);
  EXPECT_EQ(answers[3].body, answerTwo);
  EXPECT_TRUE(connection.closed);
}

TEST(ServerProtocol, AClientThatHalfClosesAfterItsRequestsGetsTheirAnswers) {
  kytest::ServiceInProcess service(protocolOptions());
  ASSERT_TRUE(service.ok());
  RemoteCase c(OPERATION_SHORTEST_PATHS, 5, 3, 1u);
  const std::string body = kytest::requestString(c);
  const std::string reference =
      kytest::exchange(service.port(),
                       head("Content-Length: " + std::to_string(body.size()) + "\r\n") + body)
          .body;
  kytest::RawConnection connection(service.port());
  ASSERT_TRUE(connection.send(
      "GET /healthz HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" +
      std::string("POST /v1/run HTTP/1.1\r\nHost: 127.0.0.1\r\n") + "Authorization: Bearer " +
      kToken + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body));
  connection.shutdownWrite();
  const std::vector<kytest::RawAnswer> answers = kytest::answersIn(connection.receiveAll());
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_EQ(answers[0].status, 200);
  EXPECT_EQ(answers[1].status, 200);
  EXPECT_EQ(answers[1].body, reference);
  const std::vector<std::string> log = service.awaitLog(3);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log.back().find("outcome"), std::string::npos) << "answered in full: " << log.back();
}

/// Sends a health check on `connection`; true when its answer starts
/// within `milliseconds`.
bool answered(kytest::RawConnection& connection, int milliseconds) {
  connection.readLimit(milliseconds);
  if (!connection.send("GET /healthz HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"))
    return false;
  char first[16] = {};
  return recv(connection.fd(), first, sizeof first - 1, 0) > 0 &&
         std::string(first).rfind("HTTP/1.1 200", 0) == 0;
}

TEST(ServerProtocol, AClientAddressGetsItsConnectionsAndNoMore) {
  KyAnalysisServerOptions options = protocolOptions();
  options.maxConnectionsPerAddress = 3;
  kytest::ServiceInProcess service(options);
  ASSERT_TRUE(service.ok());
  std::vector<std::unique_ptr<kytest::RawConnection>> open;
  for (int i = 0; i < 3; ++i) {
    open.push_back(std::make_unique<kytest::RawConnection>(service.port()));
    EXPECT_TRUE(answered(*open.back(), 2000)) << "connection " << i + 1 << " of 3";
  }
  kytest::RawConnection fourth(service.port());
  EXPECT_FALSE(answered(fourth, 2000)) << "a fourth from the same address";
  kytest::RawConnection other(service.port(), "127.0.0.2");
  EXPECT_TRUE(answered(other, 2000)) << "from another address";
  open.clear();
  // The server sees the connections close within a moment; then new ones
  // are taken again.
  bool again = false;
  for (int i = 0; i < 50 && !again; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kytest::RawConnection later(service.port());
    again = answered(later, 2000);
  }
  EXPECT_TRUE(again);
}

TEST(ServerProtocol, AConnectionPastTheTotalWaitsForOneToClose) {
  KyAnalysisServerOptions options = protocolOptions();
  options.maxConnections = 4;
  options.maxConnectionsPerAddress = 0;
  kytest::ServiceInProcess service(options);
  ASSERT_TRUE(service.ok());
  std::vector<std::unique_ptr<kytest::RawConnection>> open;
  for (int i = 0; i < 4; ++i) {
    open.push_back(std::make_unique<kytest::RawConnection>(
        service.port(), ("127.0.0." + std::to_string(10 + i)).c_str()));
    EXPECT_TRUE(answered(*open.back(), 2000)) << "connection " << i + 1 << " of 4";
  }
  kytest::RawConnection fifth(service.port(), "127.0.0.20");
  EXPECT_FALSE(answered(fifth, 1000)) << "the fifth waits";
  open.pop_back();
  fifth.readLimit(5000);
  char first[16] = {};
  EXPECT_GT(recv(fifth.fd(), first, sizeof first - 1, 0), 0) << "and is answered once one closes";
  EXPECT_EQ(std::string(first).rfind("HTTP/1.1 200", 0), 0u) << first;
}

} // namespace
