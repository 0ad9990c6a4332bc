// Process-wide settings the program applies at start-up and after every task.
// Results are not reported: each is a best effort that must never stop the program.
#pragma once

#include <filesystem>

namespace kelvaro {

// Pins the process, and every thread it starts later, to the first processor.
void PinProcessToFirstProcessor();
// Hands as much of the process's memory back to the system as it will take.
void TrimWorkingSet();
// Enables the debug privilege for the process's token where the system has one.
void EnableDebugPrivilege();
// The full path of the running program file.
std::filesystem::path ProgramPath();

}  // namespace kelvaro
