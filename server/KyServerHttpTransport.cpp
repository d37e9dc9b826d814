#include "KyServerHttpTransport_p.h"

#include "KyServerEndpoints_p.h"

#include <kyanalysis/KyAnalysisWireContract.h>

#include <microhttpd.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cstdarg>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <netdb.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace KyAnalysisWireContract;

std::string readFile(const std::string& path, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ok = ok && in.is_open() && !text.empty();
  return text;
}

std::string header(MHD_Connection* connection, const char* name) {
  const char* value = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name);
  return value != nullptr ? value : "";
}

/// "ADDRESS:PORT" of the client of `connection`.
std::string peerOf(MHD_Connection* connection) {
  const MHD_ConnectionInfo* info =
      MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
  if (info == nullptr || info->client_addr == nullptr)
    return "-";
  char text[INET6_ADDRSTRLEN] = "-";
  int port = 0;
  if (info->client_addr->sa_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(info->client_addr);
    inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
    port = ntohs(v4->sin_port);
  } else if (info->client_addr->sa_family == AF_INET6) {
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(info->client_addr);
    inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
    port = ntohs(v6->sin6_port);
  }
  return std::string(text) + ':' + std::to_string(port);
}

void quiet(void*, const char*, va_list) {}

/// Threads that read and write connections: each waits on many at once.
int ioThreads() {
  return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

} // namespace

/// One request on its way: what its headers said, its body as it comes,
/// and, once a worker has answered it, the reply.
class KyServerExchange {
public:
  KyServerExchange(KyServerHttpTransport& transport, MHD_Connection* connection, const char* method,
                   const char* path)
      : transport_(transport), endpoints_(transport.endpoints_), connection_(connection),
        method_(method), path_(path), peer_(peerOf(connection)) {
    facts_.start = std::chrono::steady_clock::now();
  }

  /// The headers are in: answers at once what needs no body.
  MHD_Result begin() {
    if (method_ == "POST" && path_ == runPath) {
      authorization_ = header(connection_, authorizationHeader);
      allowed_ = endpoints_.authorized(authorization_);
      // Without a length or chunks, HTTP says there is no body.
      const bool announced =
          MHD_lookup_connection_value(connection_, MHD_HEADER_KIND, "Content-Length") != nullptr ||
          strcasecmp(header(connection_, "Transfer-Encoding").c_str(), "chunked") == 0;
      if (announced)
        return MHD_YES;
      KyServerReply reply = allowed_ ? endpoints_.run(std::string(), facts_)
                                     : KyServerEndpoints::unauthorized(authorization_);
      reply.closing = true;
      return queue(std::move(reply));
    }
    if (method_ == "GET" && path_ == analysesPath && !endpoints_.analyses().body.empty()) {
      const std::string authorization = header(connection_, authorizationHeader);
      return queue(endpoints_.authorized(authorization)
                       ? endpoints_.analyses()
                       : KyServerEndpoints::unauthorized(authorization));
    }
    if (method_ == "GET" && path_ == healthPath)
      return queue(endpoints_.health());
    return queue(
        KyServerReply::refusal(REFUSAL_NOT_FOUND, "no such endpoint: " + method_ + " " + path_));
  }

  /// The next bytes of the body. Only a body within the limit, from an
  /// authorized sender, is kept; the rest is read and dropped, so that a
  /// client still sending gets the refusal.
  void receive(const char* data, std::size_t size) {
    if (!allowed_ || tooLarge_)
      return;
    tooLarge_ = size > endpoints_.maxRequestBytes() - body_.size();
    if (tooLarge_)
      std::string().swap(body_);
    else
      body_.append(data, size);
  }

  /// The body is in, or a worker has answered it.
  MHD_Result end() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (answered_)
        return queue(std::move(reply_));
    }
    if (!allowed_)
      return queue(KyServerEndpoints::unauthorized(authorization_));
    if (tooLarge_)
      return queue(endpoints_.tooLarge());
    {
      const std::lock_guard<std::mutex> lock(transport_.mutex_);
      ++transport_.running_;
    }
    // The connection is set aside until the worker has answered, or, when
    // none can be had, until it is called again for the refusal; the
    // exchange lives until then.
    MHD_suspend_connection(connection_);
    if (!endpoints_.submit([this] { settle(endpoints_.run(body_, facts_)); }))
      settle(KyServerEndpoints::busy());
    return MHD_YES;
  }

  /// Hands the line of the request to the log.
  void log() const { endpoints_.log(peer_, method_, path_, facts_, status_); }

private:
  /// Hands `reply` back to the connection's thread. Touches nothing of the
  /// exchange once the connection is resumed, since it may end at once.
  void settle(KyServerReply&& reply) {
    std::string().swap(body_);
    MHD_Connection* connection = connection_;
    KyServerHttpTransport& transport = transport_;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      reply_ = std::move(reply);
      answered_ = true;
    }
    MHD_resume_connection(connection);
    transport.ran();
  }

  MHD_Result queue(KyServerReply&& reply) {
    auto* body = new std::string(std::move(reply.body));
    MHD_Response* response = MHD_create_response_from_buffer_with_free_callback_cls(
        body->size(), body->data(), [](void* held) { delete static_cast<std::string*>(held); },
        body);
    if (response == nullptr) {
      delete body;
      return MHD_NO;
    }
    MHD_add_response_header(response, "Content-Type", reply.contentType.c_str());
    for (const auto& [name, value] : reply.headers)
      MHD_add_response_header(response, name.c_str(), value.c_str());
    if (reply.closing)
      MHD_add_response_header(response, "Connection", "close");
    status_ = reply.status;
    const MHD_Result queued =
        MHD_queue_response(connection_, static_cast<unsigned>(reply.status), response);
    MHD_destroy_response(response);
    return queued;
  }

  KyServerHttpTransport& transport_;
  KyServerEndpoints& endpoints_;
  MHD_Connection* const connection_;
  const std::string method_;
  const std::string path_;
  const std::string peer_;
  KyServerRequestFacts facts_;
  std::string authorization_;
  bool allowed_ = false;
  bool tooLarge_ = false;
  std::string body_;
  int status_ = 0;
  /// The worker's answer, set on the worker's thread and read on the
  /// connection's.
  std::mutex mutex_;
  bool answered_ = false;
  KyServerReply reply_;
};

KyServerHttpTransport::KyServerHttpTransport(KyServerEndpoints& endpoints,
                                             const std::string& certificateFile,
                                             const std::string& keyFile)
    : endpoints_(endpoints) {
  if (!certificateFile.empty()) {
    certificate_ = readFile(certificateFile, valid_);
    key_ = readFile(keyFile, valid_);
  }
}

KyServerHttpTransport::~KyServerHttpTransport() { stop(); }

struct KyServerHttpTransport::Callbacks {
  static MHD_Result handle(void* self, MHD_Connection* connection, const char* url,
                           const char* method, const char* version, const char* data,
                           std::size_t* size, void** context);
  static void completed(void* self, MHD_Connection* connection, void** context,
                        MHD_RequestTerminationCode toe);
};

MHD_Result KyServerHttpTransport::Callbacks::handle(void* self, MHD_Connection* connection,
                                                    const char* url, const char* method,
                                                    const char*, const char* data,
                                                    std::size_t* size, void** context) {
  auto& transport = *static_cast<KyServerHttpTransport*>(self);
  auto* exchange = static_cast<KyServerExchange*>(*context);
  if (exchange == nullptr) {
    exchange = new KyServerExchange(transport, connection, method, url);
    *context = exchange;
    {
      const std::lock_guard<std::mutex> lock(transport.mutex_);
      ++transport.exchanges_;
    }
    return exchange->begin();
  }
  if (*size != 0) {
    exchange->receive(data, *size);
    *size = 0;
    return MHD_YES;
  }
  return exchange->end();
}

void KyServerHttpTransport::Callbacks::completed(void* self, MHD_Connection*, void** context,
                                                 MHD_RequestTerminationCode) {
  auto& transport = *static_cast<KyServerHttpTransport*>(self);
  auto* exchange = static_cast<KyServerExchange*>(*context);
  if (exchange == nullptr)
    return;
  *context = nullptr;
  exchange->log();
  delete exchange;
  {
    const std::lock_guard<std::mutex> lock(transport.mutex_);
    --transport.exchanges_;
  }
  transport.settled_.notify_all();
}

void KyServerHttpTransport::ran() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    --running_;
  }
  settled_.notify_all();
}

KyServerHttpTransport::Listening KyServerHttpTransport::listen(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
    return CANNOT_BIND;
  bool v6 = false;
  for (const addrinfo* at = found; at != nullptr && listening_ < 0; at = at->ai_next) {
    const int socket =
        ::socket(at->ai_family, at->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, at->ai_protocol);
    if (socket < 0)
      continue;
    const int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (at->ai_family == AF_INET6)
      setsockopt(socket, IPPROTO_IPV6, IPV6_V6ONLY, &yes, sizeof yes);
    if (bind(socket, at->ai_addr, at->ai_addrlen) == 0 && ::listen(socket, SOMAXCONN) == 0) {
      listening_ = socket;
      v6 = at->ai_family == AF_INET6;
    } else {
      ::close(socket);
    }
  }
  freeaddrinfo(found);
  if (listening_ < 0)
    return CANNOT_BIND;
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  getsockname(listening_, reinterpret_cast<sockaddr*>(&bound), &length);
  port_ = ntohs(v6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                   : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);

  const bool tls = !certificate_.empty();
  std::vector<MHD_OptionItem> options = {
      {MHD_OPTION_LISTEN_SOCKET, listening_, nullptr},
      {MHD_OPTION_THREAD_POOL_SIZE, ioThreads(), nullptr},
      {MHD_OPTION_CONNECTION_TIMEOUT, endpoints_.readSeconds(), nullptr},
      {MHD_OPTION_NOTIFY_COMPLETED, reinterpret_cast<intptr_t>(&Callbacks::completed), this},
      {MHD_OPTION_EXTERNAL_LOGGER, reinterpret_cast<intptr_t>(&quiet), nullptr},
  };
  if (tls) {
    options.push_back({MHD_OPTION_HTTPS_MEM_CERT, 0, certificate_.data()});
    options.push_back({MHD_OPTION_HTTPS_MEM_KEY, 0, key_.data()});
  }
  options.push_back({MHD_OPTION_END, 0, nullptr});
  unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME |
                   MHD_USE_ERROR_LOG;
  if (tls)
    flags |= MHD_USE_TLS;
  if (v6)
    flags |= MHD_USE_IPv6;
  daemon_ = MHD_start_daemon(flags, 0, nullptr, nullptr, &Callbacks::handle, this, MHD_OPTION_ARRAY,
                             options.data(), MHD_OPTION_END);
  if (daemon_ == nullptr) {
    ::close(listening_);
    listening_ = -1;
    port_ = 0;
    return tls ? TLS_REFUSED : CANNOT_BIND;
  }
  return LISTENING;
}

void KyServerHttpTransport::stop() {
  if (daemon_ == nullptr)
    return;
  MHD_quiesce_daemon(daemon_);
  {
    // Every request accepted is answered: those under way end, those set
    // aside for a worker come back.
    std::unique_lock<std::mutex> lock(mutex_);
    settled_.wait(lock, [this] { return exchanges_ == 0 && running_ == 0; });
  }
  MHD_stop_daemon(daemon_);
  daemon_ = nullptr;
  ::close(listening_);
  listening_ = -1;
}
