// The controller slot; see controller_thread.h.
#include "engine/controller_thread.h"

namespace kelvaro {

void ControllerThread::Hold(uint64_t serial) {
  std::lock_guard lock(mutex_);
  held_ = true;
  serial_ = serial;
}

void ControllerThread::Clear() {
  std::lock_guard lock(mutex_);
  held_ = false;
}

bool ControllerThread::IsHeld() const {
  std::lock_guard lock(mutex_);
  return held_;
}

bool ControllerThread::ReleaseByController(uint64_t serial, const CancellationMark& mark) {
  std::lock_guard lock(mutex_);
  if (mark.IsSet()) return false;
  // The slot may by now belong to a later harvest; leave that one's alone.
  if (held_ && serial_ == serial) held_ = false;
  return true;
}

void ControllerThread::CancelAndRelease(CancellationMark& mark) {
  std::lock_guard lock(mutex_);
  mark.Set();
  held_ = false;
}

}  // namespace kelvaro
