// One run of kelvaro-cli: from the command line to the harvested keywords.
//
// The harvest is the window's own: the seeds go into the seed list of an in-memory
// window, the settings into its two boxes, and a click on its start/stop button runs
// the same run control, tasks and end-of-harvest de-duplication as the desktop program.
#pragma once

#include <string>
#include <vector>

namespace kelvaro {

inline constexpr int kUsageExitCode = 2;

// `args` are the arguments after the program name, in the terminal's encoding.
// Gives the process's exit status.
int RunCli(const std::vector<std::string>& args);

}  // namespace kelvaro
