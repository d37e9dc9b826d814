#include <kyplatform/KyXMLPlatformHold.h>
#include <kyserver/KyAnalysisServer.h>

#include "KyServerEndpoints_p.h"
#include "KyServerHttpTransport_p.h"

#include <algorithm>
#include <arpa/inet.h>
#include <thread>

/// What a started server holds, made in this order and dropped in the
/// reverse: the XML platform outlives every request; the endpoints outlive
/// the transport that calls them.
class KyAnalysisServer::Running {
public:
  Running(const KyAnalysisServerOptions& options, int workers)
      : endpoints(options, workers),
        transport(endpoints, options.tlsCertificateFile, options.tlsKeyFile) {}

  KyXMLPlatformHold xml;
  KyServerEndpoints endpoints;
  KyServerHttpTransport transport;
  int port = 0;
  std::string url;
};

namespace {

bool validOptions(const KyAnalysisServerOptions& options) {
  return !options.host.empty() && options.port >= 0 && options.port <= 65535 &&
         options.threads >= 0 && options.queue >= 0 && options.maxRequestBytes > 0 &&
         options.readSeconds >= 1 && options.headerSeconds >= 1 && options.requestSeconds >= 1 &&
         options.drainSeconds >= 1 && options.maxConnections >= 1 &&
         options.maxConnectionsPerAddress >= 0 && options.maxHeaders >= 1 &&
         options.maxHeaderBytes >= 1024 && options.memoryBudgetBytes > 0 &&
         options.maxAnswerValues > 0 &&
         options.tlsCertificateFile.empty() == options.tlsKeyFile.empty();
}

} // namespace

KyAnalysisServer::KyAnalysisServer(KyAnalysisServerOptions options)
    : options_(std::move(options)) {}

KyAnalysisServer::~KyAnalysisServer() { stop(); }

bool KyAnalysisServer::isLoopback(const std::string& host) {
  if (host == "localhost")
    return true;
  in_addr v4{};
  if (inet_pton(AF_INET, host.c_str(), &v4) == 1)
    return (ntohl(v4.s_addr) >> 24) == 127;
  in6_addr v6{};
  return inet_pton(AF_INET6, host.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

int KyAnalysisServer::workers() const {
  return options_.threads > 0 ? options_.threads
                              : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

KyAnalysisServerStartEnum KyAnalysisServer::start() {
  if (started_)
    return SERVER_ALREADY_STARTED;
  if (!validOptions(options_))
    return SERVER_INVALID_OPTIONS;
  const bool tls = !options_.tlsCertificateFile.empty();
  if (!isLoopback(options_.host) && !(tls && !options_.token.empty()) && !options_.insecure)
    return SERVER_UNSAFE_ADDRESS;
  auto running = std::make_unique<Running>(options_, workers());
  if (!running->transport.valid())
    return SERVER_TLS_UNREADABLE;
  switch (running->transport.listen(options_.host, options_.port)) {
  case KyServerHttpTransport::LISTENING:
    break;
  case KyServerHttpTransport::TLS_REFUSED:
    return SERVER_TLS_UNREADABLE;
  case KyServerHttpTransport::CANNOT_BIND:
    return SERVER_CANNOT_LISTEN;
  }
  running->port = running->transport.port();
  const bool v6 = options_.host.find(':') != std::string::npos;
  running->url = std::string(tls ? "https://" : "http://") + (v6 ? "[" : "") + options_.host +
                 (v6 ? "]" : "") + ":" + std::to_string(running->port);
  running_ = std::move(running);
  started_ = true;
  return SERVER_STARTED;
}

void KyAnalysisServer::stop() {
  if (running_ == nullptr)
    return;
  running_->transport.stop();
  running_.reset();
}

bool KyAnalysisServer::running() const { return running_ != nullptr; }

int KyAnalysisServer::port() const { return running_ != nullptr ? running_->port : 0; }

std::string KyAnalysisServer::url() const {
  return running_ != nullptr ? running_->url : std::string();
}
