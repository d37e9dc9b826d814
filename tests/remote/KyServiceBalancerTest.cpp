// Three services behind HAProxy on 127.0.0.1, health-checked on /readyz:
// one is stopped while clients keep sending, and no request is lost.
#include <kyanalysis/KyAnalysisEnums.h>
#include <kyanalysis/KyAnalysisErrorEnum.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyremote/KyRemoteAnalysisService.h>

#include "remote/KyRemoteTesting.h"
#include "support/KyProcess.h"
#include "support/KyServiceInProcess.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using kytest::RemoteCase;

const char* haproxyPath() {
  for (const char* path : {"/usr/sbin/haproxy", "/usr/bin/haproxy", "/usr/local/sbin/haproxy"})
    if (access(path, X_OK) == 0)
      return path;
  return nullptr;
}

/// A port no one listens on now, of the system's choosing.
int freePort() {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  close(probe);
  return ntohs(address.sin_port);
}

/// HAProxy in the foreground with the configuration `config`, ended with
/// the object.
class Balancer {
public:
  Balancer(const char* binary, const std::string& config) : config_(config) {
    const char* arguments[] = {binary, "-f", config_.path().c_str(), "-db", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, log_.path().c_str(), O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    started_ =
        posix_spawn(&pid_, binary, &actions, nullptr, const_cast<char**>(arguments), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Balancer() {
    if (!started_)
      return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  bool started() const { return started_; }
  std::string log() const { return log_.read(); }

private:
  kytest::TempFile config_;
  kytest::TempFile log_{""};
  pid_t pid_ = 0;
  bool started_ = false;
};

TEST(ServiceBalancer, AServiceStoppedUnderLoadLosesNoRequest) {
  const char* haproxy = haproxyPath();
  if (haproxy == nullptr)
    GTEST_SKIP() << "haproxy is not installed (tools/deps.sh installs it)";
  KyAnalysisServerOptions options;
  options.threads = 2;
  options.drainSeconds = 2;
  std::vector<std::unique_ptr<kytest::ServiceInProcess>> services;
  for (int i = 0; i < 3; ++i) {
    services.push_back(std::make_unique<kytest::ServiceInProcess>(options));
    ASSERT_TRUE(services.back()->ok());
  }
  const int port = freePort();
  std::string config = "global\n  maxconn 256\n"
                       "defaults\n  mode http\n  timeout connect 2s\n  timeout client 30s\n"
                       "  timeout server 30s\n  retries 3\n  option redispatch 1\n"
                       "  option http-buffer-request\n"
                       "  retry-on conn-failure empty-response 503\n"
                       "frontend analysis\n  bind 127.0.0.1:" +
                       std::to_string(port) +
                       "\n  default_backend services\n"
                       "backend services\n  balance roundrobin\n"
                       "  option httpchk GET /readyz\n  http-check expect status 200\n"
                       "  default-server inter 200ms fall 1 rise 2\n";
  for (std::size_t i = 0; i < services.size(); ++i)
    config += "  server s" + std::to_string(i) +
              " 127.0.0.1:" + std::to_string(services[i]->port()) + " check\n";
  Balancer balancer(haproxy, config);
  ASSERT_TRUE(balancer.started());
  const std::string url = "http://127.0.0.1:" + std::to_string(port);
  bool up = false;
  for (int i = 0; i < 100 && !up; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto ready = httplib::Client(url).Get("/readyz");
    up = ready && ready->status == 200;
  }
  ASSERT_TRUE(up) << balancer.log();

  constexpr int kClients = 8;
  constexpr int kRequestsEach = 40;
  std::atomic<int> sent{0}, right{0};
  std::mutex wrongMutex;
  std::string wrong;
  std::vector<std::thread> clients;
  const std::wstring wideUrl(url.begin(), url.end());
  for (int client = 0; client < kClients; ++client)
    clients.emplace_back([&, client] {
      KyRemoteAnalysisService remote(wideUrl.c_str());
      remote.retries(4);
      for (int round = 0; round < kRequestsEach; ++round) {
        const unsigned seed = static_cast<unsigned>(client * 1000 + round);
        RemoteCase c(seed % 2 == 0 ? OPERATION_SHORTEST_PATHS : OPERATION_ALL_PAIRS_SHORTEST_PATHS,
                     40 + static_cast<int>(seed % 30), 80, seed);
        KyServiceOutputData remoteAnswer, localAnswer;
        const int code = remote.run(&c.input, &remoteAnswer);
        ++sent;
        KyLocalAnalysisService().run(&c.input, &localAnswer);
        const kytest::Renderer renderer(c.graph, c.input);
        if (code == ANALYSIS_ERROR_NONE &&
            renderer.lines(remoteAnswer) == renderer.lines(localAnswer)) {
          ++right;
        } else {
          const std::lock_guard<std::mutex> lock(wrongMutex);
          wrong += " seed " + std::to_string(seed) + " code " + std::to_string(code);
        }
      }
    });
  // A third of the way through, the second service is stopped, as on
  // SIGTERM: it drains while the balancer turns to the others.
  while (sent < kClients * kRequestsEach / 3)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  services[1]->stop();
  for (std::thread& client : clients)
    client.join();
  EXPECT_EQ(right, kClients * kRequestsEach) << "wrong or lost:" << wrong << "\n" << balancer.log();
  std::size_t answered = 0;
  for (const auto& service : services)
    answered += service->log().size();
  EXPECT_GE(answered, static_cast<std::size_t>(kClients * kRequestsEach));
  EXPECT_LT(services[1]->log().size(), services[0]->log().size())
      << "the stopped service took fewer";
}

} // namespace
