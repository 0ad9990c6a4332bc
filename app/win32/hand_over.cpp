#include "app/win32/hand_over.h"

namespace kelvaro {

// One waiting caller's operation; it lives on the caller's stack until `done`.
struct HandOver::Call {
  const std::function<void()>* action;
  std::exception_ptr error;
  bool done = false;
  bool ran = false;
  CONDITION_VARIABLE finished = CONDITION_VARIABLE_INIT;
};

namespace {

class Locked {
 public:
  explicit Locked(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  ~Locked() { ReleaseSRWLockExclusive(&lock_); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  SRWLOCK& lock_;
};

}  // namespace

HandOver::HandOver() {
  InitializeSRWLock(&lock_);
}

void HandOver::Open(HWND window, UINT message) {
  Locked locked(lock_);
  window_ = window;
  message_ = message;
}

bool HandOver::Run(const std::function<void()>& action) {
  Call call{&action};
  bool wake = false;
  {
    Locked locked(lock_);
    if (!window_) return false;
    queue_.push_back(&call);
    wake = !wakePending_;
    wakePending_ = true;
  }
  if (wake) PostWake();
  {
    Locked locked(lock_);
    while (!call.done) SleepConditionVariableSRW(&call.finished, &lock_, INFINITE, 0);
  }
  if (call.error) std::rethrow_exception(call.error);
  return call.ran;
}

size_t HandOver::RunQueued() {
  size_t count = 0;
  {
    Locked locked(lock_);
    count = queue_.size();
  }
  size_t ran = 0;
  for (; ran < count; ++ran) {
    Call* call = nullptr;
    {
      Locked locked(lock_);
      if (queue_.empty()) break;
      call = queue_.front();
      queue_.pop_front();
    }
    std::exception_ptr error;
    try {
      (*call->action)();
    } catch (...) {
      error = std::current_exception();
    }
    // The caller may return and drop `call` as soon as the lock is free again.
    Locked locked(lock_);
    call->error = error;
    call->ran = true;
    call->done = true;
    WakeConditionVariable(&call->finished);
  }
  return ran;
}

bool HandOver::FinishWake() {
  Locked locked(lock_);
  if (!queue_.empty()) return false;
  wakePending_ = false;
  return true;
}

void HandOver::Wake() {
  PostWake();
}

WPARAM HandOver::NextWakeNumber() {
  Locked locked(lock_);
  return wakeNumber_;
}

void HandOver::PostWake() {
  HWND window = nullptr;
  UINT message = 0;
  WPARAM number = 0;
  {
    Locked locked(lock_);
    window = window_;
    message = message_;
    number = wakeNumber_++;
  }
  if (window && PostMessageW(window, message, number, 0)) return;
  // No wake can reach the window thread: nothing queued would ever run.
  Close();
}

void HandOver::Close() {
  Locked locked(lock_);
  window_ = nullptr;
  for (Call* call : queue_) {
    call->done = true;
    WakeConditionVariable(&call->finished);
  }
  queue_.clear();
  wakePending_ = false;
}

}  // namespace kelvaro
