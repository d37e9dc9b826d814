#include "KyServerConnectionWatch_p.h"

#include <cstring>
#include <poll.h>

namespace {

/// How long a request runs before its client closing its side counts as
/// leaving: a client may half-close once its request is sent.
constexpr std::chrono::seconds kLeavingGrace(1);

} // namespace

KyServerConnectionWatch::KyServerConnectionWatch(std::chrono::milliseconds headerTime)
    : headerTime_(headerTime), thread_([this] { sweep(); }) {}

KyServerConnectionWatch::~KyServerConnectionWatch() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void KyServerConnectionWatch::opened(const void* connection, int fd) {
  Watched watched{};
  watched.fd = fd;
  watched.peerLength = sizeof watched.peer;
  getpeername(fd, reinterpret_cast<sockaddr*>(&watched.peer), &watched.peerLength);
  watched.since = std::chrono::steady_clock::now();
  const std::lock_guard<std::mutex> lock(mutex_);
  connections_[connection] = watched;
}

void KyServerConnectionWatch::requestBegan(const void* connection) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto found = connections_.find(connection);
  if (found != connections_.end())
    found->second.inRequest = true;
}

void KyServerConnectionWatch::requestEnded(const void* connection) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto found = connections_.find(connection);
  if (found != connections_.end()) {
    found->second.inRequest = false;
    found->second.stop = nullptr;
    found->second.since = std::chrono::steady_clock::now();
  }
}

void KyServerConnectionWatch::closed(const void* connection) {
  const std::lock_guard<std::mutex> lock(mutex_);
  connections_.erase(connection);
}

void KyServerConnectionWatch::watch(const void* connection, KyAnalysisStop& stop,
                                    std::chrono::steady_clock::time_point deadline) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto found = connections_.find(connection);
  if (found != connections_.end()) {
    found->second.stop = &stop;
    found->second.watchedSince = std::chrono::steady_clock::now();
    found->second.deadline = deadline;
  }
}

void KyServerConnectionWatch::unwatched(const void* connection) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto found = connections_.find(connection);
  if (found != connections_.end())
    found->second.stop = nullptr;
}

void KyServerConnectionWatch::stopAll() {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (auto& [connection, watched] : connections_)
    if (watched.stop != nullptr)
      watched.stop->request(KyAnalysisStop::TIME_LIMIT);
}

int KyServerConnectionWatch::open() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(connections_.size());
}

bool KyServerConnectionWatch::same(const Watched& watched) {
  sockaddr_storage peer{};
  socklen_t length = sizeof peer;
  return getpeername(watched.fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0 &&
         length == watched.peerLength && std::memcmp(&peer, &watched.peer, length) == 0;
}

void KyServerConnectionWatch::sweep() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!wake_.wait_for(lock, std::chrono::milliseconds(100), [this] { return ending_; })) {
    const auto now = std::chrono::steady_clock::now();
    for (auto& [connection, watched] : connections_) {
      if (!watched.inRequest && !watched.cut && now - watched.since > headerTime_ &&
          same(watched)) {
        // The HTTP layer sees the connection end and closes it.
        shutdown(watched.fd, SHUT_RDWR);
        watched.cut = true;
      } else if (watched.stop != nullptr) {
        pollfd client{watched.fd, POLLRDHUP, 0};
        if (now - watched.watchedSince >= kLeavingGrace && poll(&client, 1, 0) == 1 &&
            (client.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0)
          watched.stop->request(KyAnalysisStop::WITHDRAWN);
        else if (now >= watched.deadline)
          watched.stop->request(KyAnalysisStop::TIME_LIMIT);
      }
    }
  }
}
