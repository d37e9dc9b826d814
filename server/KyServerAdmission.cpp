#include "KyServerAdmission_p.h"

bool KyServerAdmission::enter() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (busy_ >= workers_ && waiting_ >= queue_)
    return false;
  ++waiting_;
  free_.wait(lock, [this] { return busy_ < workers_; });
  --waiting_;
  ++busy_;
  return true;
}

void KyServerAdmission::leave() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    --busy_;
  }
  free_.notify_one();
}

KyServerAdmission::Load KyServerAdmission::load() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return {workers_, busy_, waiting_};
}
