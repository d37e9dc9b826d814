#include "KyServerHttpTransport_p.h"

#include "KyServerEndpoints_p.h"

#include <kyanalysis/KyAnalysisWireContract.h>

#include <microhttpd.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cstdarg>
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

/// The whole file at `path`; `ok` turns false when it cannot be read or is
/// empty.
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

/// The header fields of `connection` named `name`, in any case.
int fieldsNamed(MHD_Connection* connection, const char* name) {
  struct Count {
    const char* name;
    int found;
  } count{name, 0};
  MHD_get_connection_values(
      connection, MHD_HEADER_KIND,
      [](void* cls, MHD_ValueKind, const char* key, const char*) {
        auto* count = static_cast<Count*>(cls);
        count->found += strcasecmp(key, count->name) == 0 ? 1 : 0;
        return MHD_YES;
      },
      &count);
  return count.found;
}

/// True when `text` is a decimal number of at most 18 digits, nothing else.
bool decimal(const std::string& text) {
  return !text.empty() && text.size() <= 18 &&
         text.find_first_not_of("0123456789") == std::string::npos;
}

/// Requests larger than this give their memory back to the system once
/// answered, so that a worker's peak does not stay with the process.
constexpr std::size_t kTrimAfterBytes = std::size_t{64} << 20;

} // namespace

/// One request on its way: what its headers said, its body as it comes,
/// the memory it holds, and, once a worker has answered it, the reply.
class KyServerExchange {
public:
  KyServerExchange(KyServerHttpTransport& transport, MHD_Connection* connection, const char* method,
                   const char* path)
      : transport_(transport), endpoints_(transport.endpoints_), connection_(connection),
        method_(method), path_(path), peer_(peerOf(connection)),
        hold_(transport.endpoints_.budget()) {
    facts_.start = std::chrono::steady_clock::now();
    facts_.id = endpoints_.nextId();
  }

  /// The headers are in: answers at once what needs no body, and refuses
  /// at once what cannot be read.
  MHD_Result begin() {
    transport_.watch_.requestBegan(connection_);
    const KyAnalysisServerOptions& options = endpoints_.options();
    if (static_cast<int>(MHD_get_connection_values(connection_, MHD_HEADER_KIND, nullptr,
                                                   nullptr)) > options.maxHeaders)
      return close(KyServerReply::refusal(
          REFUSAL_HEADERS_TOO_LARGE,
          "the request has more than " + std::to_string(options.maxHeaders) + " header fields"));
    if (method_ == "POST" && path_ == runPath)
      return beginRun();
    // Answered once the request is in (a body, if any, read and dropped):
    // an answer queued before would close the connection.
    const std::string authorization = header(connection_, authorizationHeader);
    const bool allowed = endpoints_.authorized(authorization);
    if (method_ == "GET" && path_ == analysesPath && !endpoints_.analyses().body.empty())
      return answerLater(allowed ? endpoints_.analyses()
                                 : KyServerEndpoints::unauthorized(authorization));
    if (method_ == "GET" && path_ == metricsPath)
      return answerLater(allowed ? endpoints_.metrics(transport_.watch_.open())
                                 : KyServerEndpoints::unauthorized(authorization));
    if (method_ == "GET" && path_ == healthPath)
      return answerLater(endpoints_.health());
    if (method_ == "GET" && path_ == readinessPath) {
      readiness_ = true;
      return answerLater(KyServerReply());
    }
    return answerLater(
        KyServerReply::refusal(REFUSAL_NOT_FOUND, "no such endpoint: " + method_ + " " + path_));
  }

  /// The next bytes of the body; false when the body comes too slowly and
  /// the connection is to be closed. Only a body within the limits, from an
  /// authorized sender, is kept; the rest is read and dropped, so that a
  /// client still sending gets the refusal.
  bool receive(const char* data, std::size_t size) {
    const KyAnalysisServerOptions& options = endpoints_.options();
    facts_.received += size;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - facts_.start).count();
    if (options.minimumBytesPerSecond > 0 && seconds > options.readSeconds &&
        static_cast<double>(facts_.received) <
            seconds * static_cast<double>(options.minimumBytesPerSecond)) {
      facts_.outcome = "tooSlow";
      return false;
    }
    if (!keeping())
      return true;
    if (size > options.maxRequestBytes - body_.size()) {
      tooLarge_ = true;
      std::string().swap(body_);
      return true;
    }
    // A body of announced length was taken whole at its headers; one in
    // chunks takes its room as the string grows.
    if (body_.size() + size > body_.capacity()) {
      const std::size_t room = std::max(body_.size() + size, 2 * body_.capacity());
      if (!hold_.grow(room - std::min(room, hold_.held()))) {
        overBudget_ = room;
        std::string().swap(body_);
        return true;
      }
      body_.reserve(room);
    }
    body_.append(data, size);
    return true;
  }

  /// The body is in, or a worker has answered it.
  MHD_Result end() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (answered_)
        return queue(std::move(reply_));
    }
    if (later_)
      return queue(std::move(reply_));
    if (!allowed_)
      return queue(KyServerEndpoints::unauthorized(authorization_));
    if (compressed_)
      return queue(KyServerReply::refusal(
          REFUSAL_UNSUPPORTED_ENCODING,
          "the service reads request bodies as they are, without a Content-Encoding"));
    if (tooLarge_)
      return queue(endpoints_.tooLarge());
    if (overBudget_ != 0)
      return queue(endpoints_.overBudget(overBudget_));
    {
      const std::lock_guard<std::mutex> lock(transport_.mutex_);
      ++transport_.running_;
    }
    transport_.watch_.watch(connection_, stop_,
                            std::chrono::steady_clock::now() +
                                std::chrono::seconds(endpoints_.options().requestSeconds));
    if (transport_.runsStopped_)
      stop_.request(KyAnalysisStop::TIME_LIMIT);
    // The connection is set aside until the worker has answered, or, when
    // none can be had, until it is called again for the refusal; the
    // exchange lives until then.
    MHD_suspend_connection(connection_);
    if (!endpoints_.submit([this] { work(); }))
      settle(KyServerEndpoints::busy());
    return MHD_YES;
  }

  /// The request has ended with `toe`: notes it and gives its memory back.
  void ended(MHD_RequestTerminationCode toe) {
    if (toe == MHD_REQUEST_TERMINATED_TIMEOUT_REACHED && facts_.outcome.empty())
      facts_.outcome = "timedOut";
    else if (toe != MHD_REQUEST_TERMINATED_COMPLETED_OK && facts_.outcome.empty())
      facts_.outcome =
          toe == MHD_REQUEST_TERMINATED_DAEMON_SHUTDOWN ? "shutDown" : "connectionLost";
    endpoints_.ended(peer_, method_, path_, facts_, status_,
                     toe == MHD_REQUEST_TERMINATED_COMPLETED_OK ? sent_ : 0);
  }
  std::size_t held() const { return hold_.held(); }

private:
  MHD_Result beginRun() {
    authorization_ = header(connection_, authorizationHeader);
    allowed_ = endpoints_.authorized(authorization_);
    // The framing of the body must be beyond doubt, or the next request on
    // the connection would start in the wrong place: one length, digits
    // only, or chunks, never both.
    const int lengths = fieldsNamed(connection_, "Content-Length");
    const int codings = fieldsNamed(connection_, "Transfer-Encoding");
    const std::string length = header(connection_, "Content-Length");
    if (lengths > 1)
      return close(KyServerReply::refusal(REFUSAL_BAD_REQUEST,
                                          "the request gives its Content-Length more than once"));
    if (lengths == 1 && codings > 0)
      return close(KyServerReply::refusal(
          REFUSAL_BAD_REQUEST, "the request gives both a Content-Length and a Transfer-Encoding"));
    if (lengths == 1 && !decimal(length))
      return close(KyServerReply::refusal(REFUSAL_BAD_REQUEST,
                                          "the Content-Length is not a decimal number"));
    if (codings > 0 && (codings > 1 || strcasecmp(header(connection_, "Transfer-Encoding").c_str(),
                                                  "chunked") != 0))
      return close(KyServerReply::refusal(
          REFUSAL_BAD_REQUEST, "the only Transfer-Encoding the service reads is chunked"));
    const std::string encoding = header(connection_, "Content-Encoding");
    compressed_ = !encoding.empty() && strcasecmp(encoding.c_str(), "identity") != 0;
    // Without a length or chunks, HTTP says there is no body.
    if (lengths == 0 && codings == 0) {
      KyServerReply reply =
          allowed_ ? KyServerReply::refusal(REFUSAL_BAD_REQUEST, "the request is empty")
                   : KyServerEndpoints::unauthorized(authorization_);
      return close(std::move(reply));
    }
    if (lengths == 1 && keeping()) {
      const std::size_t announced = std::stoull(length);
      if (announced > endpoints_.options().maxRequestBytes)
        tooLarge_ = true;
      else if (!hold_.grow(announced))
        overBudget_ = announced;
      else
        body_.reserve(announced);
    }
    return MHD_YES;
  }

  /// True while the body is worth keeping.
  bool keeping() const {
    return allowed_ && !later_ && !compressed_ && !tooLarge_ && overBudget_ == 0;
  }

  /// Keeps `reply` for the end of the request.
  MHD_Result answerLater(KyServerReply&& reply) {
    reply_ = std::move(reply);
    later_ = true;
    return MHD_YES;
  }

  /// On a worker: the engine's answer, unless the run was stopped while it
  /// waited.
  void work() {
    if (stop_.requested()) {
      facts_.outcome = stop_.reason() == KyAnalysisStop::WITHDRAWN ? "withdrawn" : "timeLimit";
      return settle(KyServerReply::retryLater(
          REFUSAL_SERVICE_BUSY, "the request waited past the time limit and was not run"));
    }
    settle(endpoints_.run(body_, facts_, stop_, hold_));
  }

  /// Hands `reply` back to the connection's thread. Touches nothing of the
  /// exchange once the connection is resumed, since it may end at once.
  void settle(KyServerReply&& reply) {
    std::string().swap(body_);
    transport_.watch_.unwatched(connection_);
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

  /// Answers `reply` and closes the connection after it.
  MHD_Result close(KyServerReply&& reply) {
    reply.closing = true;
    return queue(std::move(reply));
  }

  MHD_Result queue(KyServerReply&& reply) {
    // Read once: every reply sent while the service drains closes its
    // connection, so that no client or balancer sends it more, and the
    // readiness, made here, says "draining" whenever it does.
    const bool draining = endpoints_.draining();
    if (readiness_)
      reply = endpoints_.readiness(draining);
    auto* body = new std::string(std::move(reply.body));
    MHD_Response* response = MHD_create_response_from_buffer_with_free_callback_cls(
        body->size(), body->data(), [](void* held) { delete static_cast<std::string*>(held); },
        body);
    if (response == nullptr) {
      delete body;
      return MHD_NO;
    }
    sent_ = body->size();
    MHD_add_response_header(response, "Content-Type", reply.contentType.c_str());
    MHD_add_response_header(response, "X-Request-Id", facts_.id.c_str());
    for (const auto& [name, value] : reply.headers)
      MHD_add_response_header(response, name.c_str(), value.c_str());
    if (reply.closing || draining)
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
  KyServerMemoryHold hold_;
  KyAnalysisStop stop_;
  std::string authorization_;
  bool allowed_ = false;
  /// The request asks for the readiness, told as its answer is sent.
  bool readiness_ = false;
  /// reply_ holds the answer, to be given once the request is in.
  bool later_ = false;
  bool compressed_ = false;
  bool tooLarge_ = false;
  /// The bytes a body needed when the budget could not take them.
  std::size_t overBudget_ = 0;
  std::string body_;
  int status_ = 0;
  std::size_t sent_ = 0;
  /// The worker's answer, set on the worker's thread and read on the
  /// connection's.
  std::mutex mutex_;
  bool answered_ = false;
  KyServerReply reply_;
};

KyServerHttpTransport::KyServerHttpTransport(KyServerEndpoints& endpoints,
                                             const std::string& certificateFile,
                                             const std::string& keyFile)
    : endpoints_(endpoints), watch_(std::chrono::seconds(endpoints.options().headerSeconds)) {
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
  static void connection(void* self, MHD_Connection* connection, void** socketContext,
                         MHD_ConnectionNotificationCode toe);
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
    const bool going = exchange->receive(data, *size);
    *size = 0;
    return going ? MHD_YES : MHD_NO;
  }
  return exchange->end();
}

void KyServerHttpTransport::Callbacks::connection(void* self, MHD_Connection* connection, void**,
                                                  MHD_ConnectionNotificationCode toe) {
  auto& transport = *static_cast<KyServerHttpTransport*>(self);
  if (toe == MHD_CONNECTION_NOTIFY_CLOSED) {
    transport.watch_.closed(connection);
    return;
  }
  const MHD_ConnectionInfo* info =
      MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
  if (info != nullptr)
    transport.watch_.opened(connection, info->connect_fd);
}

void KyServerHttpTransport::Callbacks::completed(void* self, MHD_Connection* connection,
                                                 void** context, MHD_RequestTerminationCode toe) {
  auto& transport = *static_cast<KyServerHttpTransport*>(self);
  auto* exchange = static_cast<KyServerExchange*>(*context);
  if (exchange == nullptr)
    return;
  *context = nullptr;
  transport.watch_.requestEnded(connection);
  exchange->ended(toe);
  const bool large = exchange->held() > kTrimAfterBytes;
  delete exchange;
  if (large)
    transport.endpoints_.disposer().trim();
  // Told under the lock: once stop() sees the count, the transport may go.
  const std::lock_guard<std::mutex> lock(transport.mutex_);
  --transport.exchanges_;
  transport.settled_.notify_all();
}

void KyServerHttpTransport::ran() {
  // Told under the lock: once stop() sees the count, the transport may go.
  const std::lock_guard<std::mutex> lock(mutex_);
  --running_;
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
  const KyAnalysisServerOptions& settings = endpoints_.options();
  // The request line and headers share a connection's room with its read
  // buffer; the HTTP layer refuses headers that do not fit.
  const std::size_t room = std::max<std::size_t>(2 * settings.maxHeaderBytes, 8192);
  std::vector<MHD_OptionItem> options = {
      {MHD_OPTION_LISTEN_SOCKET, listening_, nullptr},
      {MHD_OPTION_CONNECTION_TIMEOUT, settings.readSeconds, nullptr},
      {MHD_OPTION_CONNECTION_LIMIT, settings.maxConnections, nullptr},
      {MHD_OPTION_PER_IP_CONNECTION_LIMIT, settings.maxConnectionsPerAddress, nullptr},
      {MHD_OPTION_CONNECTION_MEMORY_LIMIT, static_cast<intptr_t>(room), nullptr},
      {MHD_OPTION_NOTIFY_COMPLETED, reinterpret_cast<intptr_t>(&Callbacks::completed), this},
      {MHD_OPTION_NOTIFY_CONNECTION, reinterpret_cast<intptr_t>(&Callbacks::connection), this},
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
  const auto drain = std::chrono::seconds(endpoints_.options().drainSeconds);
  const auto deadline = std::chrono::steady_clock::now() + drain;
  // Runs still going this long before the deadline are stopped, so that
  // their answers go out in time.
  const auto stopRuns =
      deadline - std::min<std::chrono::steady_clock::duration>(std::chrono::seconds(1), drain / 2);
  endpoints_.drain();
  // No connection is accepted from here on, and those the system would
  // still queue are refused, so that a balancer turns to another service
  // at once. The socket itself stays open until the HTTP layer has ended.
  MHD_quiesce_daemon(daemon_);
  shutdown(listening_, SHUT_RDWR);
  {
    std::unique_lock<std::mutex> lock(mutex_);
    const auto idle = [this] { return exchanges_ == 0 && running_ == 0; };
    if (!settled_.wait_until(lock, stopRuns, idle)) {
      runsStopped_ = true;
      watch_.stopAll();
      settled_.wait_until(lock, deadline, idle);
    }
    // The HTTP layer may not stop while a connection is set aside: the
    // runs stopped come back within a second.
    settled_.wait(lock, [this] { return running_ == 0; });
  }
  MHD_stop_daemon(daemon_);
  daemon_ = nullptr;
  ::close(listening_);
  listening_ = -1;
}
