// What the client makes of a service that refuses, is busy, is slow, is
// gone, or breaks off its answer: a code of its own, stored alone, and the
// caller's request left as it was.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include "remote/KyRemoteTesting.h"
#include "support/KyServiceHealth.h"
#include "support/KyServiceInProcess.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using kytest::RemoteCase;
using kytest::RequestSnapshot;

/// Runs `c` on `service` and checks the outcome: `code`, stored alone, and
/// the request untouched.
void expectOutcome(const KyRemoteAnalysisService& service, RemoteCase& c, int code) {
  const RequestSnapshot before(c);
  KyServiceOutputData output;
  output.storeOwned(nullptr, KyAnalysisKey::errorCode, new KyInt(0));
  EXPECT_EQ(service.run(&c.input, &output), code);
  EXPECT_EQ(output.numberOfValues(), 1);
  EXPECT_EQ(output.getValueAsInteger(nullptr, KyAnalysisKey::errorCode), code);
  EXPECT_TRUE(RequestSnapshot(c) == before);
}

TEST(RemoteRefusals, TheClientTurnsEachRefusalIntoItsCode) {
  KyAnalysisServerOptions options;
  options.threads = 1;
  options.token = "s3cret-token";
  options.maxRequestBytes = 4096;
  kytest::ServiceInProcess service(options);
  ASSERT_TRUE(service.ok());
  KyRemoteAnalysisService allowed(service.wideUrl().c_str());
  allowed.pToken(L"s3cret-token");
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
      {"too large and no token", &anonymous, 300, ANALYSIS_ERROR_UNAUTHORIZED},
      {"a path the service does not serve", &elsewhere, 5, ANALYSIS_ERROR_REQUEST_REFUSED},
      {"nothing listening", &closed, 5, ANALYSIS_ERROR_CANNOT_CONNECT},
      {"a URL of no service", &unusable, 5, ANALYSIS_ERROR_CANNOT_CONNECT},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    RemoteCase c(OPERATION_SHORTEST_PATHS, test.nodes, test.nodes, 5u);
    expectOutcome(*test.service, c, test.code);
  }
  RemoteCase small(OPERATION_SHORTEST_PATHS, 5, 3, 1u);
  KyServiceOutputData output;
  EXPECT_EQ(allowed.run(&small.input, &output), ANALYSIS_ERROR_NONE);
}

TEST(RemoteRefusals, AFullServiceIsBusyAndAnImpatientClientTimesOut) {
  KyAnalysisServerOptions options;
  options.threads = 1;
  options.queue = 0;
  kytest::ServiceInProcess service(options);
  ASSERT_TRUE(service.ok());
  const KyRemoteAnalysisService remote(service.wideUrl().c_str());
  // All pairs of 300 nodes keep the one worker busy for a while.
  RemoteCase heavy(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 300, 1200, 6u);
  KyServiceOutputData heavyAnswer;
  int heavyCode = -1;
  std::thread worker([&] { heavyCode = remote.run(&heavy.input, &heavyAnswer); });
  ASSERT_TRUE(kytest::awaitLoad(service.url(), 1, 0));
  RemoteCase small(OPERATION_SHORTEST_PATHS, 5, 3, 7u);
  expectOutcome(remote, small, ANALYSIS_ERROR_SERVICE_BUSY);
  worker.join();
  EXPECT_EQ(heavyCode, ANALYSIS_ERROR_NONE);

  KyRemoteAnalysisService impatient(service.wideUrl().c_str());
  impatient.readTimeLimit(20);
  RemoteCase again(OPERATION_ALL_PAIRS_SHORTEST_PATHS, 300, 1200, 6u);
  expectOutcome(impatient, again, ANALYSIS_ERROR_TIMED_OUT);
  ASSERT_TRUE(kytest::awaitLoad(service.url(), 0, 0));
  KyServiceOutputData output;
  EXPECT_EQ(remote.run(&small.input, &output), ANALYSIS_ERROR_NONE);
}

/// A listening socket on 127.0.0.1 that answers each connection with bytes
/// a test chose, as a service that breaks off or answers oddly would.
class FakeService {
public:
  FakeService() : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(socket_, 4) == 0 &&
        getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
      port_ = ntohs(address.sin_port);
  }
  ~FakeService() { close(); }
  FakeService(const FakeService&) = delete;
  FakeService& operator=(const FakeService&) = delete;

  bool ok() const { return port_ > 0; }
  std::wstring url() const { return L"http://127.0.0.1:" + std::to_wstring(port_); }
  void close() {
    if (socket_ >= 0)
      ::close(socket_);
    socket_ = -1;
  }

  /// Waits, 30 s at most, for one connection, reads its request whole
  /// (headers and a body of Content-Length bytes), sends `reply` and
  /// closes the connection.
  void answerOnce(const std::string& reply) const {
    pollfd waiting{socket_, POLLIN, 0};
    if (poll(&waiting, 1, 30000) != 1)
      return;
    const int connection = accept(socket_, nullptr, nullptr);
    if (connection < 0)
      return;
    const timeval limit{30, 0};
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    std::string request;
    char piece[4096];
    for (ssize_t got; (got = recv(connection, piece, sizeof piece, 0)) > 0;) {
      request.append(piece, static_cast<std::size_t>(got));
      const std::size_t end = request.find("\r\n\r\n");
      const std::size_t field = request.find("Content-Length: ");
      if (end != std::string::npos && field != std::string::npos &&
          request.size() >= end + 4 + std::stoul(request.substr(field + 16)))
        break;
    }
    ::send(connection, reply.data(), reply.size(), MSG_NOSIGNAL);
    shutdown(connection, SHUT_WR);
    ::close(connection);
  }

private:
  int socket_;
  int port_ = 0;
};

TEST(RemoteRefusals, WhateverComesBackTheCallersDataStaysAsItWas) {
  FakeService fake;
  ASSERT_TRUE(fake.ok());
  const std::string empty = "Content-Length: 0\r\n\r\n";
  struct Case {
    const char* name;
    std::string reply;
    int code;
  };
  const Case cases[] = {
      {"closed before answering", "", ANALYSIS_ERROR_UNREADABLE_ANSWER},
      {"closed inside the headers", "HTTP/1.1 200 OK\r\nContent-Le",
       ANALYSIS_ERROR_UNREADABLE_ANSWER},
      {"closed inside the body", "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nAAAA",
       ANALYSIS_ERROR_UNREADABLE_ANSWER},
      {"a whole body that is no answer", "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nAAAA",
       ANALYSIS_ERROR_UNREADABLE_ANSWER},
      {"400", "HTTP/1.1 400 Bad Request\r\n" + empty, ANALYSIS_ERROR_REQUEST_REFUSED},
      {"401", "HTTP/1.1 401 Unauthorized\r\n" + empty, ANALYSIS_ERROR_UNAUTHORIZED},
      {"404", "HTTP/1.1 404 Not Found\r\n" + empty, ANALYSIS_ERROR_REQUEST_REFUSED},
      {"408", "HTTP/1.1 408 Request Timeout\r\n" + empty, ANALYSIS_ERROR_TIMED_OUT},
      {"413", "HTTP/1.1 413 Payload Too Large\r\n" + empty, ANALYSIS_ERROR_REQUEST_TOO_LARGE},
      {"500", "HTTP/1.1 500 Internal Server Error\r\n" + empty, ANALYSIS_ERROR_REQUEST_REFUSED},
      {"503", "HTTP/1.1 503 Service Unavailable\r\n" + empty, ANALYSIS_ERROR_SERVICE_BUSY},
      {"a status no service answers with", "HTTP/1.1 418 Teapot\r\n" + empty,
       ANALYSIS_ERROR_REQUEST_REFUSED},
  };
  const KyRemoteAnalysisService remote(fake.url().c_str());
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    std::thread answering([&] { fake.answerOnce(test.reply); });
    RemoteCase c(OPERATION_SORTED_PATHS, 12, 30, 11u);
    expectOutcome(remote, c, test.code);
    answering.join();
  }
  fake.close();
  RemoteCase c(OPERATION_SORTED_PATHS, 12, 30, 11u);
  expectOutcome(remote, c, ANALYSIS_ERROR_CANNOT_CONNECT);
}

} // namespace
