#include "KyServerHttpTransport_p.h"

#include "KyServerConnectionPool_p.h"
#include "KyServerEndpoints_p.h"

#include <kyanalysis/KyAnalysisWireContract.h>

#include <httplib.h>

#include <chrono>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace KyAnalysisWireContract;

/// Connection threads beyond the workers and the queue: they carry health
/// checks and the refusals of a full service.
constexpr int kSpareConnections = 4;

/// The facts of the request being handled on this thread; reset once its
/// log line is written.
thread_local KyServerRequestFacts facts;

void write(KyServerReply&& reply, httplib::Response& response) {
  response.status = reply.status;
  response.body = std::move(reply.body);
  response.set_header("Content-Type", reply.contentType);
  for (const auto& [name, value] : reply.headers)
    response.set_header(name, value);
  if (reply.closing)
    response.set_header("Connection", "close");
}

/// True when the request announces a body: by its length, or in chunks.
/// Without either, HTTP says there is none, where httplib would read one up
/// to the end of the connection.
bool announcesBody(const httplib::Request& request) {
  return request.has_header("Content-Length") ||
         strcasecmp(request.get_header_value("Transfer-Encoding").c_str(), "chunked") == 0;
}

} // namespace

KyServerHttpTransport::KyServerHttpTransport(KyServerEndpoints& endpoints,
                                             const std::string& certificateFile,
                                             const std::string& keyFile)
    : endpoints_(endpoints) {
  if (certificateFile.empty())
    server_ = std::make_unique<httplib::Server>();
  else
    server_ = std::make_unique<httplib::SSLServer>(certificateFile.c_str(), keyFile.c_str());
  route();
}

KyServerHttpTransport::~KyServerHttpTransport() { stop(); }

bool KyServerHttpTransport::valid() const { return server_->is_valid(); }

void KyServerHttpTransport::route() {
  // An idle connection between two requests waits as long as one inside a
  // request.
  server_->set_read_timeout(endpoints_.readSeconds());
  server_->set_keep_alive_timeout(endpoints_.readSeconds());
  // Headers and body go out in separate writes: without this, Nagle's
  // algorithm holds the second until the peer's delayed acknowledgement.
  server_->set_tcp_nodelay(true);
  const auto connections =
      static_cast<std::size_t>(endpoints_.workers() + endpoints_.queue() + kSpareConnections);
  server_->new_task_queue = [connections] { return new KyServerConnectionPool(connections); };

  server_->set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
    facts = KyServerRequestFacts{};
    facts.start = std::chrono::steady_clock::now();
    return httplib::Server::HandlerResponse::Unhandled;
  });
  // The body is read to its end even when it is refused, so that the
  // sender, still sending, gets the refusal; only a body within the limit
  // is kept.
  server_->Post(runPath, [this](const httplib::Request& request, httplib::Response& response,
                                const httplib::ContentReader& content) {
    const std::string authorization = request.get_header_value(authorizationHeader);
    const bool allowed = endpoints_.authorized(authorization);
    const std::size_t limit = endpoints_.maxRequestBytes();
    std::string body;
    bool tooLarge = false;
    const bool announced = announcesBody(request);
    if (announced) {
      const bool whole = content([&](const char* data, std::size_t length) {
        if (allowed && !tooLarge) {
          tooLarge = length > limit - body.size();
          if (tooLarge)
            std::string().swap(body);
          else
            body.append(data, length);
        }
        return true;
      });
      if (!whole) {
        KyServerReply reply = KyServerReply::refusal(
            REFUSAL_REQUEST_TIMEOUT, "the request did not arrive whole; the service waits " +
                                         std::to_string(endpoints_.readSeconds()) +
                                         " seconds at most for its next bytes");
        reply.closing = true;
        return write(std::move(reply), response);
      }
    }
    KyServerReply reply = !allowed   ? KyServerEndpoints::unauthorized(authorization)
                          : tooLarge ? endpoints_.tooLarge()
                                     : endpoints_.run(body, facts);
    reply.closing = reply.closing || !announced;
    write(std::move(reply), response);
  });
  if (!endpoints_.analyses().body.empty())
    server_->Get(analysesPath, [this](const httplib::Request& request,
                                      httplib::Response& response) {
      const std::string authorization = request.get_header_value(authorizationHeader);
      write(endpoints_.authorized(authorization) ? endpoints_.analyses()
                                                 : KyServerEndpoints::unauthorized(authorization),
            response);
    });
  server_->Get(healthPath, [this](const httplib::Request&, httplib::Response& response) {
    write(endpoints_.health(), response);
  });

  server_->set_error_handler(httplib::Server::HandlerWithResponse(
      [](const httplib::Request& request, httplib::Response& response) {
        if (!response.body.empty())
          return httplib::Server::HandlerResponse::Unhandled;
        if (response.status == refusalOf(REFUSAL_NOT_FOUND).status)
          write(KyServerReply::refusal(REFUSAL_NOT_FOUND,
                                       "no such endpoint: " + request.method + " " + request.path),
                response);
        else
          write(KyServerReply::refusal(REFUSAL_BAD_REQUEST, "the HTTP request cannot be read"),
                response);
        return httplib::Server::HandlerResponse::Handled;
      }));
  server_->set_exception_handler(
      [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
        write(KyServerReply::refusal(REFUSAL_INTERNAL_ERROR, "the request could not be answered"),
              response);
      });
  server_->set_logger([this](const httplib::Request& request, const httplib::Response& response) {
    endpoints_.log(request.remote_addr + ':' + std::to_string(request.remote_port), request.method,
                   request.path, facts, response.status);
    facts = KyServerRequestFacts{};
  });

  // httplib listens with a backlog of 5 and lets several services share a
  // port. A burst of clients overflowed that backlog, and the kernel cut
  // some of their connections before the service saw them; a second
  // service on the same port silently took half the requests. The socket
  // is noted as httplib makes it, may only reuse an address, and gets the
  // system's backlog once bound.
  server_->set_socket_options([this](int socket) {
    const int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    listening_ = socket;
  });
}

int KyServerHttpTransport::listen(const std::string& host, int port) {
  int bound = port;
  if (port == 0)
    bound = server_->bind_to_any_port(host);
  else if (!server_->bind_to_port(host, port))
    bound = 0;
  if (bound <= 0)
    return 0;
  if (::listen(listening_, SOMAXCONN) != 0) {
    ::close(listening_);
    return 0;
  }
  acceptor_ = std::thread([this] {
    server_->listen_after_bind();
    acceptingEnded_ = true;
  });
  // httplib's stop() does nothing until its loop runs.
  while (!server_->is_running() && !acceptingEnded_)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return bound;
}

void KyServerHttpTransport::stop() {
  if (!acceptor_.joinable())
    return;
  server_->stop();
  acceptor_.join();
}
