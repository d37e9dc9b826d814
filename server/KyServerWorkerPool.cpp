#include "KyServerWorkerPool_p.h"

#include "KyServerBrokenPipe_p.h"

KyServerWorkerPool::KyServerWorkerPool(int workers, int queue) : workers_(workers), queue_(queue) {
  threads_.reserve(static_cast<std::size_t>(workers));
  for (int i = 0; i < workers; ++i)
    threads_.emplace_back([this] { work(); });
}

KyServerWorkerPool::~KyServerWorkerPool() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  ready_.notify_all();
  for (std::thread& thread : threads_)
    thread.join();
}

bool KyServerWorkerPool::submit(std::function<void()> job) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (busy_ + static_cast<int>(waiting_.size()) >= workers_ + queue_)
      return false;
    waiting_.push_back(std::move(job));
  }
  ready_.notify_one();
  return true;
}

KyServerWorkerPool::Load KyServerWorkerPool::load() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return {workers_, busy_, static_cast<int>(waiting_.size())};
}

void KyServerWorkerPool::work() {
  KyServerBrokenPipe::ignoreOnThisThread();
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    ready_.wait(lock, [this] { return !waiting_.empty() || stopping_; });
    if (waiting_.empty())
      return;
    std::function<void()> job = std::move(waiting_.front());
    waiting_.pop_front();
    ++busy_;
    lock.unlock();
    job();
    job = nullptr;
    lock.lock();
    --busy_;
  }
}
