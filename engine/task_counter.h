// pendingTasks: how many of a harvest's tasks are counted in and not yet out.
//
// Each harvest has a counter of its own. A stop abandons tasks that were counted
// and will never count themselves out; with one counter for every harvest the
// next harvest would start from their number and wait for them without end.
// Changes are refused once the harvest's mark is set, so a called-off harvest's
// count stands still from the moment its stop has fenced the counter.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "engine/cancellation_mark.h"

namespace kelvaro {

class TaskCounter {
 public:
  // One up or one down, unless `mark` is set (tested under the counter's lock).
  // True when the count changed.
  bool Add(const CancellationMark& mark) { return Change(+1, mark); }
  bool Subtract(const CancellationMark& mark) { return Change(-1, mark); }

  // Lock-free, for the controller's polling.
  int32_t Read() const { return value_.load(std::memory_order_acquire); }

  // Waits until no change is under way.
  void Fence() const { std::lock_guard lock(mutex_); }

 private:
  bool Change(int32_t delta, const CancellationMark& mark) {
    std::lock_guard lock(mutex_);
    if (mark.IsSet()) return false;
    value_.fetch_add(delta, std::memory_order_acq_rel);
    return true;
  }

  mutable std::mutex mutex_;
  std::atomic<int32_t> value_{0};
};

}  // namespace kelvaro
