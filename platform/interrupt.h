// Ctrl+C for the command-line front end. The first interrupt only raises a flag that
// the front end polls (it then stops the harvest as the Stop button does); a second
// one ends the process at once with status 130.
#pragma once

#include <atomic>

namespace kelvaro {

inline constexpr int kInterruptedExitCode = 130;

// Installs the handler; `interrupted` must live until the process ends.
void WatchInterrupts(std::atomic<bool>& interrupted);

}  // namespace kelvaro
