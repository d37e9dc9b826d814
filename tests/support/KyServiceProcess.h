// A `kyanalyze serve` process on 127.0.0.1 with a port of its own choosing,
// started and stopped by a test; every wait on it is bounded.
#pragma once

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kytest {

class ServiceProcess {
public:
  /// Runs `kyanalyze serve --listen 127.0.0.1:0 ARGS...` and waits, 60 s at
  /// most, for the line that says where it listens. ok() tells whether it
  /// came.
  explicit ServiceProcess(std::vector<std::string> args = {}) {
    args.insert(args.begin(), {KYANALYZE_PATH, "serve", "--listen", "127.0.0.1:0"});
    std::vector<char*> argv;
    for (std::string& arg : args)
      argv.push_back(arg.data());
    argv.push_back(nullptr);
    int err[2];
    // Close-on-exec, so that no other child holds this pipe open.
    if (pipe2(err, O_CLOEXEC) != 0)
      return;
    pid_ = fork();
    if (pid_ == 0) {
      // The service dies with the test, however the test ends, and holds
      // none of the test's own output open.
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      const int none = open("/dev/null", O_RDWR);
      dup2(none, STDIN_FILENO);
      dup2(none, STDOUT_FILENO);
      dup2(err[1], STDERR_FILENO);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(err[1]);
    reader_ = std::thread([this, fd = err[0]] { readLog(fd); });
    std::unique_lock<std::mutex> lock(mutex_);
    started_.wait_for(lock, std::chrono::seconds(60),
                      [this] { return !url_.empty() || logEnded_; });
  }
  ~ServiceProcess() {
    if (running())
      stop(5);
    if (running()) {
      ::kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (reader_.joinable())
      reader_.join();
  }
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;

  bool ok() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !url_.empty();
  }
  /// "http://127.0.0.1:PORT" (https with TLS).
  std::string url() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return url_;
  }
  std::wstring wideUrl() const {
    const std::string narrow = url();
    return std::wstring(narrow.begin(), narrow.end());
  }
  int port() const {
    const std::string address = url();
    return std::stoi(address.substr(address.rfind(':') + 1));
  }

  /// Sends `signal` and waits `seconds` at most; the exit status, or -1
  /// when the process did not exit normally in time (it is killed then).
  int stop(int seconds = 60, int signal = SIGTERM) {
    if (!running())
      return status_;
    ::kill(pid_, signal);
    return wait(seconds);
  }
  /// Waits `seconds` at most for the process to exit by itself; as stop().
  /// Once it returns, log() holds all the process wrote.
  int wait(int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (running() && std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (running()) {
      ::kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      exited_ = true;
      status_ = -1;
    }
    // The process is gone: what it wrote last is read before this returns.
    if (reader_.joinable())
      reader_.join();
    return status_;
  }
  bool running() const { return pid_ > 0 && !exited_; }

  /// What the service wrote on standard error so far.
  std::string log() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
  }

private:
  void readLog(int fd) {
    char buffer[4096];
    for (;;) {
      const ssize_t got = read(fd, buffer, sizeof buffer);
      if (got <= 0)
        break;
      std::lock_guard<std::mutex> lock(mutex_);
      log_.append(buffer, static_cast<std::size_t>(got));
      const std::string marker = "listening on ";
      const std::size_t at = log_.find(marker);
      if (url_.empty() && at != std::string::npos) {
        const std::size_t from = at + marker.size();
        const std::size_t to = log_.find(' ', from);
        if (to != std::string::npos)
          url_ = log_.substr(from, to - from);
      }
      started_.notify_all();
    }
    close(fd);
    std::lock_guard<std::mutex> lock(mutex_);
    logEnded_ = true;
    started_.notify_all();
  }

  pid_t pid_ = -1;
  bool exited_ = false;
  int status_ = -1;
  std::thread reader_;
  mutable std::mutex mutex_;
  mutable std::condition_variable started_;
  std::string log_;
  std::string url_;
  bool logEnded_ = false;
};

} // namespace kytest
