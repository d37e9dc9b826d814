#include "ServeCommand.h"

#include "DescribeCommand.h"
#include "ServiceChoice.h"

#include <kyserver/KyAnalysisServer.h>

#include <CLI/CLI.hpp>

#include <csignal>
#include <ostream>
#include <pthread.h>

namespace kyanalyze {
namespace {

/// "HOST:PORT", with an IPv6 host in brackets ("[::1]:8080"), into the
/// options' host and port.
bool parseListen(const std::string& text, KyAnalysisServerOptions& options) {
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
  options.host = host;
  options.port = std::stoi(port);
  return options.port <= 65535;
}

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
  const auto limit = [command](const char* name, auto& field, const char* what, auto least,
                               auto most) {
    command->add_option(name, field, what)->capture_default_str()->check(CLI::Range(least, most));
  };
  limit("--read-seconds", limits_.readSeconds,
        "Seconds to wait for the next bytes of a request or an idle connection", 1, 3600);
  limit("--header-seconds", limits_.headerSeconds,
        "Seconds a request's line and headers may take to arrive whole", 1, 3600);
  limit("--min-bytes-per-second", limits_.minimumBytesPerSecond,
        "Slowest a body may arrive once it has taken --read-seconds (0: no minimum)",
        std::size_t{0}, std::size_t{1} << 40);
  limit("--max-connections", limits_.maxConnections, "Connections open at once", 1, 1000000);
  limit("--max-connections-per-address", limits_.maxConnectionsPerAddress,
        "Connections open at once from one client address (0: no limit of its own)", 0, 1000000);
  limit("--max-headers", limits_.maxHeaders, "Header fields of one request", 1, 10000);
  limit("--max-header-bytes", limits_.maxHeaderBytes, "Bytes of a request's line and headers",
        std::size_t{1024}, std::size_t{1} << 20);
  limit("--memory-budget", limits_.memoryBudgetBytes,
        "Bytes every request in flight may take together", std::size_t{1}, std::size_t{1} << 50);
  limit("--max-answer-values", limits_.maxAnswerValues,
        "Most values an answer may hold, as estimated before the engine starts", std::size_t{1},
        std::size_t{1} << 50);
  limit("--request-seconds", limits_.requestSeconds,
        "Seconds one request may take from its body to its answer", 1, 86400);
  limit("--drain-seconds", limits_.drainSeconds,
        "Seconds a stop signal leaves the requests accepted to be answered", 1, 3600);
  return command;
}

int ServeCommand::run(std::ostream&, std::ostream& err) {
  KyAnalysisServerOptions options = limits_;
  if (!parseListen(listen_, options)) {
    err << "kyanalyze: --listen: expected HOST:PORT, got " << listen_ << '\n';
    return kExitUsage;
  }
  // Checked before the token file is read, as the server would check it.
  if (!KyAnalysisServer::isLoopback(options.host) && !(!tlsCert_.empty() && !tokenFile_.empty()) &&
      !insecure_) {
    err << "kyanalyze: listening on " << options.host
        << " reaches beyond this machine: give --token-file and --tls-cert/--tls-key, or "
           "--insecure\n";
    return kExitUsage;
  }
  if (!tokenFile_.empty() && !readToken(tokenFile_, options.token)) {
    err << "kyanalyze: " << tokenFile_ << ": cannot be read or holds no token\n";
    return kExitFailure;
  }
  options.threads = threads_;
  options.queue = queue_;
  options.tlsCertificateFile = tlsCert_;
  options.tlsKeyFile = tlsKey_;
  options.maxRequestBytes = static_cast<std::size_t>(maxRequestBytes_);
  options.insecure = insecure_;
  options.log = [&err](const std::string& line) { err << line + '\n' << std::flush; };
  options.analyses = describeJson();

  // Every thread the server starts inherits the blocked stop signals; this
  // thread waits for them. A peer that goes away must not end the service
  // with SIGPIPE.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  KyAnalysisServer server(std::move(options));
  switch (server.start()) {
  case SERVER_STARTED:
    break;
  case SERVER_TLS_UNREADABLE:
    err << "kyanalyze: the TLS certificate " << tlsCert_ << " or key " << tlsKey_
        << " cannot be read\n";
    return kExitFailure;
  default:
    err << "kyanalyze: cannot listen on " << listen_ << '\n';
    return kExitFailure;
  }
  // Each line goes out in one piece: the server's log writes from a thread
  // of its own.
  err << "kyanalyze serve: listening on " + server.url() + " with " +
             std::to_string(server.workers()) + " workers\n"
      << std::flush;
  int signal = 0;
  sigwait(&stopSignals, &signal);
  server.stop();
  err << "kyanalyze serve: stopped" << std::endl;
  return kExitOk;
}

} // namespace kyanalyze
