// Linux: sched_setaffinity, malloc_trim (paced); there is no debug privilege to enable.
#include <malloc.h>
#include <sched.h>

#include <atomic>
#include <chrono>

#include "platform/process.h"

namespace kelvaro {

void PinProcessToFirstProcessor() {
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(0, &set);
  sched_setaffinity(0, sizeof(set), &set);
}

void TrimWorkingSet() {
  // malloc_trim walks every arena of the heap, which costs more than a whole search
  // task when twenty workers call it after each of their tasks; giving memory back at
  // most every 100 ms keeps the effect and costs nothing measurable.
  using Clock = std::chrono::steady_clock;
  static std::atomic<Clock::rep> lastTrim{0};  // process-wide, like the heap it trims
  const Clock::rep now = Clock::now().time_since_epoch().count();
  Clock::rep last = lastTrim.load(std::memory_order_relaxed);
  const Clock::rep interval = std::chrono::duration_cast<Clock::duration>(
                                  std::chrono::milliseconds(100)).count();
  if (now - last < interval) return;
  if (!lastTrim.compare_exchange_strong(last, now, std::memory_order_relaxed)) return;
  malloc_trim(0);
}

void EnableDebugPrivilege() {}

std::filesystem::path ProgramPath() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error);
}

}  // namespace kelvaro
