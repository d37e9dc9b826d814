#include <kyplatform/KyXMLWriteStop.h>

namespace {

thread_local const KyXMLWriteStop* current = nullptr;

} // namespace

KyXMLWriteStop::KyXMLWriteStop(std::function<bool()> asked)
    : asked_(std::move(asked)), previous_(current) {
  current = this;
}

KyXMLWriteStop::~KyXMLWriteStop() { current = previous_; }

bool KyXMLWriteStop::requested() {
  return current != nullptr && current->asked_ && current->asked_();
}
