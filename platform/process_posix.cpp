// Linux: sched_setaffinity, malloc_trim; there is no debug privilege to enable.
#include <malloc.h>
#include <sched.h>

#include "platform/process.h"

namespace kelvaro {

void PinProcessToFirstProcessor() {
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(0, &set);
  sched_setaffinity(0, sizeof(set), &set);
}

void TrimWorkingSet() { malloc_trim(0); }

void EnableDebugPrivilege() {}

std::filesystem::path ProgramPath() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error);
}

}  // namespace kelvaro
