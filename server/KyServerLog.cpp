#include "KyServerLog_p.h"

#include "KyServerBrokenPipe_p.h"

KyServerLog::KyServerLog(std::function<void(const std::string&)> write, std::size_t most)
    : write_(std::move(write)), most_(most) {
  if (write_)
    thread_ = std::thread([this] { run(); });
}

KyServerLog::~KyServerLog() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  ready_.notify_all();
  if (thread_.joinable())
    thread_.join();
}

void KyServerLog::add(std::string line) {
  if (!write_)
    return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (waiting_.size() >= most_) {
      dropped_.fetch_add(1, std::memory_order_relaxed);
      return;
    }
    waiting_.push_back(std::move(line));
  }
  ready_.notify_one();
}

void KyServerLog::run() {
  KyServerBrokenPipe::ignoreOnThisThread();
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    ready_.wait(lock, [this] { return !waiting_.empty() || ending_; });
    if (waiting_.empty())
      return;
    const std::string line = std::move(waiting_.front());
    waiting_.pop_front();
    lock.unlock();
    write_(line);
    lock.lock();
  }
}
