#include "ServeCommand.h"

#include "DescribeCommand.h"
#include "ServiceChoice.h"
#include "Text.h"

#include <kyanalysis/KyAnalysisKeys.h>
#include <kyanalysis/KyAnalysisOperation.h>
#include <kyanalysis/KyAnalysisSerializer.h>
#include <kyanalysis/KyAnalysisServiceName.h>
#include <kyengine/KyLocalAnalysisService.h>
#include <kyplatform/KyGraph.h>
#include <kyplatform/KyObjectTable.h>
#include <kyplatform/KyServiceData.h>

#include <CLI/CLI.hpp>
#include <httplib.h>
#include <nlohmann/json.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLException.hpp>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <ctime>
#include <memory>
#include <mutex>
#include <ostream>
#include <pthread.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>

namespace kyanalyze {
namespace {

using Clock = std::chrono::steady_clock;

/// How long the service waits for the next bytes of a request.
constexpr int kReadSeconds = 5;
/// Connection threads beyond the workers and the queue: they carry health
/// checks and the refusals of a full service.
constexpr int kSpareConnections = 4;

struct ListenAddress {
  std::string host;
  int port = 0;
};

/// "HOST:PORT", with an IPv6 host in brackets ("[::1]:8080").
bool parseListen(const std::string& text, ListenAddress& address) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == text.size())
    return false;
  std::string host = text.substr(0, colon);
  if (host.front() == '[') {
    if (host.size() < 3 || host.back() != ']')
      return false;
    host = host.substr(1, host.size() - 2);
  }
  const std::string port = text.substr(colon + 1);
  if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
    return false;
  address.host = host;
  address.port = std::stoi(port);
  return address.port <= 65535;
}

/// True for "localhost" and the addresses of the loopback interface
/// (127.0.0.0/8, ::1).
bool isLoopback(const std::string& host) {
  if (host == "localhost")
    return true;
  in_addr v4{};
  if (inet_pton(AF_INET, host.c_str(), &v4) == 1)
    return (ntohl(v4.s_addr) >> 24) == 127;
  in6_addr v6{};
  return inet_pton(AF_INET6, host.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

/// True when `given` equals `token`. Every byte up to the longer length is
/// compared, whatever the texts hold, so the time taken does not tell how
/// much of a guess was right.
bool sameToken(const std::string& given, const std::string& token) {
  const std::size_t length = std::max(given.size(), token.size());
  unsigned difference = given.size() == token.size() ? 0 : 1;
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char a = i < given.size() ? static_cast<unsigned char>(given[i]) : 0;
    const unsigned char b = i < token.size() ? static_cast<unsigned char>(token[i]) : 0;
    difference |= static_cast<unsigned>(a ^ b);
  }
  return difference == 0;
}

/// Admits at most `workers` requests to the engine at once and lets at
/// most `queue` more wait for a worker; refuses the rest at once.
class Admission {
public:
  Admission(int workers, int queue) : workers_(workers), queue_(queue) {}

  /// Waits for a worker; false at once when the queue is full.
  bool enter() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (busy_ >= workers_ && waiting_ >= queue_)
      return false;
    ++waiting_;
    free_.wait(lock, [this] { return busy_ < workers_; });
    --waiting_;
    ++busy_;
    return true;
  }
  void leave() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      --busy_;
    }
    free_.notify_one();
  }
  nlohmann::json state() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return {{"status", "ok"}, {"workers", workers_}, {"busy", busy_}, {"queued", waiting_}};
  }

private:
  const int workers_;
  const int queue_;
  mutable std::mutex mutex_;
  std::condition_variable free_;
  int busy_ = 0;
  int waiting_ = 0;
};

/// A worker held for the length of one request.
class Worker {
public:
  explicit Worker(Admission& admission) : admission_(admission), held_(admission.enter()) {}
  ~Worker() {
    if (held_)
      admission_.leave();
  }
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;
  explicit operator bool() const { return held_; }

private:
  Admission& admission_;
  bool held_;
};

/// What the log line of the request being handled on this thread tells
/// beyond the request itself; reset once the line is written.
struct RequestFacts {
  Clock::time_point start{};
  std::string analysis = "-";
  std::string graphSize = "-";
};
thread_local RequestFacts facts;

void fail(httplib::Response& response, int status, const char* error, const std::string& message) {
  response.status = status;
  response.set_content(nlohmann::json{{"error", error}, {"message", message}}.dump() + "\n",
                       "application/json");
}

/// The UTC time of now, as 2024-05-01T12:00:00.123Z.
std::string timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[40];
  const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
  std::snprintf(text + length, sizeof text - length, ".%03dZ", static_cast<int>(millis));
  return text;
}

/// The service proper: the handlers, the admission of work and the log.
class Service {
public:
  Service(std::ostream& log, int workers, int queue, std::string token, std::size_t maxRequestBytes)
      : log_(log), admission_(workers, queue), token_(std::move(token)),
        maxRequestBytes_(maxRequestBytes), analyses_(describeJson()) {}

  void install(httplib::Server& server) {
    server.set_read_timeout(kReadSeconds);
    // Headers and body go out in separate writes: without this, Nagle's
    // algorithm holds the second until the peer's delayed acknowledgement.
    server.set_tcp_nodelay(true);
    server.set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
      facts = RequestFacts{};
      facts.start = Clock::now();
      return httplib::Server::HandlerResponse::Unhandled;
    });
    server.Post("/v1/run", [this](const httplib::Request& request, httplib::Response& response,
                                  const httplib::ContentReader& content) {
      run(request, response, &content);
    });
    server.Post("/v1/run", [this](const httplib::Request& request, httplib::Response& response) {
      run(request, response, nullptr);
    });
    server.Get("/v1/analyses",
               [this](const httplib::Request& request, httplib::Response& response) {
                 if (authorized(request, response))
                   response.set_content(analyses_, "application/json");
               });
    server.Get("/healthz", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content(admission_.state().dump() + "\n", "application/json");
    });
    server.set_error_handler(httplib::Server::HandlerWithResponse(
        [](const httplib::Request& request, httplib::Response& response) {
          if (!response.body.empty())
            return httplib::Server::HandlerResponse::Unhandled;
          if (response.status == 404)
            fail(response, 404, "notFound",
                 "no such endpoint: " + request.method + " " + request.path);
          else
            fail(response, response.status, "badRequest", "the HTTP request cannot be read");
          return httplib::Server::HandlerResponse::Handled;
        }));
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
          fail(response, 500, "internalError", "the request could not be answered");
        });
    server.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
      logLine(request, response);
    });
  }

private:
  /// True when the request carries the token, or none is needed; else
  /// answers 401.
  bool authorized(const httplib::Request& request, httplib::Response& response) const {
    if (token_.empty())
      return true;
    const std::string header = request.get_header_value("Authorization");
    const std::string scheme = "Bearer ";
    if (header.compare(0, scheme.size(), scheme) == 0 &&
        sameToken(header.substr(scheme.size()), token_))
      return true;
    fail(response, 401, "unauthorized",
         header.empty() ? "the request carries no token" : "the token is not accepted");
    response.set_header("WWW-Authenticate", "Bearer");
    return false;
  }

  /// POST /v1/run. The body is read to its end even when it is refused,
  /// so that the sender, still sending, gets the refusal.
  void run(const httplib::Request& request, httplib::Response& response,
           const httplib::ContentReader* content) {
    const bool allowed = authorized(request, response);
    std::string body;
    bool tooLarge = false;
    // httplib would read a body without a length up to the end of the
    // connection; HTTP says there is none.
    if (content != nullptr && !request.has_header("Content-Length") &&
        request.get_header_value("Transfer-Encoding") != "chunked") {
      response.set_header("Connection", "close");
      content = nullptr;
    }
    if (content != nullptr) {
      const bool whole = (*content)([&](const char* data, std::size_t length) {
        if (allowed && !tooLarge) {
          tooLarge = body.size() + length > maxRequestBytes_;
          if (tooLarge)
            std::string().swap(body);
          else
            body.append(data, length);
        }
        return true;
      });
      if (!whole) {
        fail(response, 408, "requestTimeout",
             "the request did not arrive whole; the service waits " + std::to_string(kReadSeconds) +
                 " seconds at most for its next bytes");
        response.set_header("Connection", "close");
        return;
      }
    }
    if (!allowed)
      return;
    if (tooLarge)
      return fail(response, 413, "requestTooLarge",
                  "the request is larger than the " + std::to_string(maxRequestBytes_) +
                      " bytes this service accepts");
    const Worker worker(admission_);
    if (!worker) {
      fail(response, 503, "serviceBusy", "every worker is busy and the queue is full");
      response.set_header("Retry-After", "1");
      return;
    }
    answer(body, response);
  }

  /// Reads the request, has the engine answer it and writes the answer.
  void answer(const std::string& body, httplib::Response& response) {
    // Declared first so that it goes last: the request and the answer
    // refer to the graph read from the request.
    std::unique_ptr<KyGraph> graph;
    KyObjectTable table;
    KyServiceInputData input;
    KyAnalysisSerializer serializer;
    std::wstring reason;
    if (body.empty())
      return fail(response, 400, "badRequest", "the request is empty");
    if (serializer.pInputDataFromString(reinterpret_cast<const unsigned char*>(body.c_str()),
                                        &table, &input, reason) == 0)
      return fail(response, 400, "badRequest",
                  "not an analysis request: " + toUtf8(reason.c_str()));
    graph.reset(dynamic_cast<KyGraph*>(input.pValue(nullptr, KyAnalysisKey::all::noneGraph)));
    // A request without a graph reads as one on an empty graph that the
    // document never named: the engine must see none, as it would locally.
    if (graph != nullptr && table.pID(graph.get()) == nullptr)
      input.removeValue(nullptr, KyAnalysisKey::all::noneGraph);
    if (const wchar_t* word = KyAnalysisOperation::word(
            input.getValueAsInteger(nullptr, KyAnalysisKey::all::noneOperation)))
      facts.analysis = toUtf8(word);
    if (graph != nullptr && table.pID(graph.get()) != nullptr)
      facts.graphSize =
          std::to_string(graph->numberOfNodes()) + "/" + std::to_string(graph->numberOfEdges());

    KyServiceOutputData output;
    KyLocalAnalysisService().run(&input, &output);
    unsigned char* written = nullptr;
    unsigned long length = 0;
    if (serializer.pOutputDataToString(&output, &table, written, &length) == 0)
      return fail(response, 500, "internalError", "the answer cannot be written");
    const std::unique_ptr<unsigned char[]> held(written);
    response.set_content(reinterpret_cast<const char*>(written), length, "text/plain");
  }

  /// One line: time, peer, method and path, analysis, nodes/edges, status,
  /// milliseconds.
  void logLine(const httplib::Request& request, const httplib::Response& response) {
    std::ostringstream line;
    line << timestamp() << ' ' << request.remote_addr << ':' << request.remote_port << ' '
         << request.method << ' ' << request.path << ' ' << facts.analysis << ' ' << facts.graphSize
         << ' ' << response.status << ' ';
    if (facts.start == Clock::time_point{})
      line << '-';
    else
      line << std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - facts.start)
                  .count();
    line << " ms\n";
    facts = RequestFacts{};
    const std::lock_guard<std::mutex> lock(logMutex_);
    log_ << line.str() << std::flush;
  }

  std::ostream& log_;
  std::mutex logMutex_;
  Admission admission_;
  const std::string token_;
  const std::size_t maxRequestBytes_;
  const std::string analyses_;
};

/// Holds the Xerces platform up for the life of the service, so that the
/// documents of each request skip its set-up and tear-down. Made before any
/// thread starts: Xerces counts its initialisations without a lock.
class XMLPlatformHold {
public:
  XMLPlatformHold() {
    try {
      xercesc::XMLPlatformUtils::Initialize();
      held_ = true;
    } catch (const xercesc::XMLException&) {
      held_ = false; // each document then sets the platform up itself
    }
  }
  ~XMLPlatformHold() {
    if (held_)
      xercesc::XMLPlatformUtils::Terminate();
  }
  XMLPlatformHold(const XMLPlatformHold&) = delete;
  XMLPlatformHold& operator=(const XMLPlatformHold&) = delete;

private:
  bool held_;
};

/// Stops `server` on the first SIGTERM or SIGINT. The signals must be
/// blocked in every thread (run() blocks them before any thread starts).
class StopOnSignal {
public:
  StopOnSignal(httplib::Server& server, const sigset_t& signals)
      : thread_([this, &server, signals] {
          int signal = 0;
          sigwait(&signals, &signal);
          // stop() does nothing before the server runs: repeat it until
          // the server has stopped.
          while (!done_) {
            server.stop();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
          }
        }) {}
  /// Called once the server has stopped, however it stopped.
  ~StopOnSignal() {
    done_ = true;
    pthread_kill(thread_.native_handle(), SIGTERM);
    thread_.join();
  }
  StopOnSignal(const StopOnSignal&) = delete;
  StopOnSignal& operator=(const StopOnSignal&) = delete;

private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

} // namespace

CLI::App* ServeCommand::attach(CLI::App& app) {
  CLI::App* command = app.add_subcommand("serve", "Answer analysis requests over HTTP");
  command->add_option("--listen", listen_, "HOST:PORT to listen on; port 0 picks a free port")
      ->capture_default_str();
  command->add_option("--threads", threads_, "Workers answering at once (default: the cores)")
      ->check(CLI::Range(1, 1024));
  command->add_option("--queue", queue_, "Requests that may wait for a worker")
      ->capture_default_str()
      ->check(CLI::Range(0, 100000));
  command->add_option("--token-file", tokenFile_,
                      "File whose first line is the token clients must send as Bearer");
  CLI::Option* cert = command->add_option("--tls-cert", tlsCert_, "TLS certificate (PEM)");
  CLI::Option* key = command->add_option("--tls-key", tlsKey_, "TLS private key (PEM)");
  cert->needs(key);
  key->needs(cert);
  command->add_option("--max-request-bytes", maxRequestBytes_, "Largest request accepted")
      ->capture_default_str()
      ->check(CLI::Range(1LL, 1LL << 40));
  command->add_flag("--insecure", insecure_,
                    "Allow listening beyond the loopback interface without a token and TLS");
  return command;
}

int ServeCommand::run(std::ostream&, std::ostream& err) {
  ListenAddress address;
  if (!parseListen(listen_, address)) {
    err << "kyanalyze: --listen: expected HOST:PORT, got " << listen_ << '\n';
    return kExitUsage;
  }
  const bool tls = !tlsCert_.empty();
  if (!isLoopback(address.host) && !(tls && !tokenFile_.empty()) && !insecure_) {
    err << "kyanalyze: listening on " << address.host
        << " reaches beyond this machine: give --token-file and --tls-cert/--tls-key, or "
           "--insecure\n";
    return kExitUsage;
  }
  std::string token;
  if (!tokenFile_.empty() && !readToken(tokenFile_, token)) {
    err << "kyanalyze: " << tokenFile_ << ": cannot be read or holds no token\n";
    return kExitFailure;
  }
  const int workers =
      threads_ > 0 ? threads_ : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));

  const XMLPlatformHold xml;
  // Every thread started from here on inherits the blocked stop signals;
  // one thread waits for them. A peer that goes away must not kill the
  // service with SIGPIPE.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  std::unique_ptr<httplib::Server> server;
  if (tls)
    server = std::make_unique<httplib::SSLServer>(tlsCert_.c_str(), tlsKey_.c_str());
  else
    server = std::make_unique<httplib::Server>();
  if (!server->is_valid()) {
    err << "kyanalyze: the TLS certificate " << tlsCert_ << " or key " << tlsKey_
        << " cannot be read\n";
    return kExitFailure;
  }
  const int connections = workers + queue_ + kSpareConnections;
  server->new_task_queue = [connections] { return new httplib::ThreadPool(connections); };
  Service service(err, workers, queue_, token, static_cast<std::size_t>(maxRequestBytes_));
  service.install(*server);

  // httplib listens with a backlog of 5 and lets several services share a
  // port. A burst of clients overflowed that backlog, and the kernel cut
  // some of their connections before the service saw them; a second
  // service on the same port silently took half the requests. The socket
  // is noted as httplib makes it, may only reuse an address, and gets the
  // system's backlog once bound.
  int listening = -1;
  server->set_socket_options([&listening](int socket) {
    const int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    listening = socket;
  });
  int port = address.port;
  if (port == 0)
    port = server->bind_to_any_port(address.host);
  else if (!server->bind_to_port(address.host, port))
    port = -1;
  if (port <= 0 || ::listen(listening, SOMAXCONN) != 0) {
    err << "kyanalyze: cannot listen on " << listen_ << '\n';
    return kExitFailure;
  }
  const std::string shownHost =
      address.host.find(':') != std::string::npos ? "[" + address.host + "]" : address.host;
  err << "kyanalyze serve: listening on " << (tls ? "https://" : "http://") << shownHost << ':'
      << port << " with " << workers << " workers" << std::endl;
  {
    const StopOnSignal stopper(*server, stopSignals);
    server->listen_after_bind();
  }
  err << "kyanalyze serve: stopped" << std::endl;
  return kExitOk;
}

} // namespace kyanalyze
