// SIGINT by sigaction. The handler only touches a lock-free atomic and _exit, both
// safe in a signal handler.
#include <signal.h>
#include <unistd.h>

#include "platform/interrupt.h"

namespace kelvaro {
namespace {

std::atomic<bool>* watchedFlag = nullptr;  // set once before the handler is installed

void OnInterrupt(int) {
  if (watchedFlag->exchange(true)) _exit(kInterruptedExitCode);
}

}  // namespace

void WatchInterrupts(std::atomic<bool>& interrupted) {
  watchedFlag = &interrupted;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace kelvaro
