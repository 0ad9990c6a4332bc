// Ctrl+C and Ctrl+Break through the console's control handler, which Windows runs on
// a thread of its own.
#include <windows.h>

#include "platform/interrupt.h"

namespace kelvaro {
namespace {

std::atomic<bool>* watchedFlag = nullptr;  // set once before the handler is installed

BOOL WINAPI OnControl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  if (watchedFlag->exchange(true)) ExitProcess(kInterruptedExitCode);
  return TRUE;
}

}  // namespace

void WatchInterrupts(std::atomic<bool>& interrupted) {
  watchedFlag = &interrupted;
  SetConsoleCtrlHandler(OnControl, TRUE);
}

}  // namespace kelvaro
