// A KyAnalysisServer in the test's own process, on a loopback address with
// a port of the system's choosing, stopped with the object; its log lines
// are kept for the test to read.
#pragma once

#include <kyserver/KyAnalysisServer.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kytest {

class ServiceInProcess {
public:
  /// Starts a server with `options` on port 0 of `options.host`
  /// (127.0.0.1 unless the test names another loopback address). ok()
  /// tells whether it started; started() what start() said.
  explicit ServiceInProcess(KyAnalysisServerOptions options = {}) {
    options.port = 0;
    options.log = [this](const std::string& line) {
      const std::lock_guard<std::mutex> lock(mutex_);
      lines_.push_back(line);
      grew_.notify_all();
    };
    server_ = std::make_unique<KyAnalysisServer>(std::move(options));
    started_ = server_->start();
  }
  ServiceInProcess(const ServiceInProcess&) = delete;
  ServiceInProcess& operator=(const ServiceInProcess&) = delete;

  bool ok() const { return started_ == SERVER_STARTED; }
  KyAnalysisServerStartEnum started() const { return started_; }
  KyAnalysisServer& server() { return *server_; }
  std::string url() const { return server_->url(); }
  std::wstring wideUrl() const {
    const std::string narrow = url();
    return std::wstring(narrow.begin(), narrow.end());
  }
  int port() const { return server_->port(); }
  /// Stops the server as KyAnalysisServer::stop() does.
  void stop() { server_->stop(); }

  /// The log lines written so far.
  std::vector<std::string> log() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }
  /// Waits, 30 s at most, for the log to hold `count` lines: a line is
  /// written once its answer is sent. The lines then written.
  std::vector<std::string> awaitLog(std::size_t count) const {
    std::unique_lock<std::mutex> lock(mutex_);
    grew_.wait_for(lock, std::chrono::seconds(30), [&] { return lines_.size() >= count; });
    return lines_;
  }
  /// The log as one text, for failure messages.
  std::string logText() const {
    std::string text;
    for (const std::string& line : log())
      text += line + '\n';
    return text;
  }

private:
  mutable std::mutex mutex_;
  mutable std::condition_variable grew_;
  std::vector<std::string> lines_;
  std::unique_ptr<KyAnalysisServer> server_;
  KyAnalysisServerStartEnum started_ = SERVER_INVALID_OPTIONS;
};

} // namespace kytest
