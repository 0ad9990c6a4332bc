// The mark by which a harvest is called off.
//
// No thread of a harvest is ever killed: killing a thread can leave a lock held.
// Instead every thread that works for a harvest looks at the harvest's mark before
// each step that would change shared state, and its waits (the spacing sleeps, the
// controller's polling, the network wait) end early when the mark is set, so an
// abandoned thread winds down on its own soon after.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace kelvaro {

class CancellationMark {
 public:
  CancellationMark() = default;
  CancellationMark(const CancellationMark&) = delete;
  CancellationMark& operator=(const CancellationMark&) = delete;

  // Sets the mark for good and wakes every SleepFor.
  void Set();
  bool IsSet() const { return flag_.load(std::memory_order_acquire); }
  // The flag itself, for waits that poll it (the page fetch).
  const std::atomic<bool>* Flag() const { return &flag_; }

  // Sleeps for `duration` or until the mark is set, whichever comes first.
  // True when the mark is set.
  bool SleepFor(std::chrono::milliseconds duration) const;

 private:
  std::atomic<bool> flag_{false};
  mutable std::mutex mutex_;
  mutable std::condition_variable set_;
};

}  // namespace kelvaro
