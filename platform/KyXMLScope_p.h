// Scopes that lend state to readers and writers for the length of a call.
// Internal to the platform library.
#pragma once

class KyObject;

/// Sets `slot` to `value` on construction and back to what it held on
/// destruction, however the scope is left.
template <typename T> class KyPointerScope {
public:
  KyPointerScope(T*& slot, T* value) : slot_(slot), saved_(slot) { slot_ = value; }
  ~KyPointerScope() { slot_ = saved_; }
  KyPointerScope(const KyPointerScope&) = delete;
  KyPointerScope& operator=(const KyPointerScope&) = delete;

private:
  T*& slot_;
  T* saved_;
};

/// Gives a reader or writer a parent and a target, and gives back the ones
/// it had when the scope is left: readers and writers handed over by a
/// caller may be reused or shared.
template <typename Handler> class KyHandlerScope {
public:
  KyHandlerScope(Handler& handler, Handler* parent, KyObject* target)
      : handler_(handler), parent_(handler.pParent()), target_(handler.pTarget()) {
    handler.pParent(parent);
    handler.pTarget(target);
  }
  ~KyHandlerScope() {
    handler_.pParent(parent_);
    handler_.pTarget(target_);
  }
  KyHandlerScope(const KyHandlerScope&) = delete;
  KyHandlerScope& operator=(const KyHandlerScope&) = delete;

private:
  Handler& handler_;
  Handler* parent_;
  KyObject* target_;
};
