// The mark by which a harvest is called off; see cancellation_mark.h.
#include "engine/cancellation_mark.h"

namespace kelvaro {

void CancellationMark::Set() {
  {
    // Under the mutex, so a sleeper between its test and its wait cannot miss it.
    std::lock_guard lock(mutex_);
    flag_.store(true, std::memory_order_release);
  }
  set_.notify_all();
}

bool CancellationMark::SleepFor(std::chrono::milliseconds duration) const {
  std::unique_lock lock(mutex_);
  return set_.wait_for(lock, duration, [this] { return IsSet(); });
}

}  // namespace kelvaro
