#include "KyServerConnectionPool_p.h"

#include <csignal>
#include <pthread.h>
#include <system_error>

void KyServerConnectionPool::enqueue(std::function<void()> connection) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    waiting_.push_back(std::move(connection));
    if (waiting_.size() > idle_ && threads_.size() < most_) {
      try {
        threads_.emplace_back([this] { work(); });
      } catch (const std::system_error&) {
        // No thread to be had now: the connection waits for a running one.
      }
    }
  }
  ready_.notify_one();
}

void KyServerConnectionPool::shutdown() {
  std::vector<std::thread> threads;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    threads.swap(threads_);
  }
  ready_.notify_all();
  for (std::thread& thread : threads)
    thread.join();
}

void KyServerConnectionPool::work() {
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    ++idle_;
    ready_.wait(lock, [this] { return !waiting_.empty() || stopping_; });
    --idle_;
    if (waiting_.empty())
      return;
    std::function<void()> connection = std::move(waiting_.front());
    waiting_.pop_front();
    lock.unlock();
    connection();
    lock.lock();
  }
}
