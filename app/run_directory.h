// runDirectory: the directory of the program file, where "config.ini" lives.
//
// Kept as a path rather than CP936 text, so a program in a folder whose name has
// characters outside CP936 still finds its settings. It always ends in the platform's
// separator (a backslash on Windows), so the file name can simply be appended.
#pragma once

#include <filesystem>

namespace kelvaro {

// The directory of `programPath`, ending in a separator: C:\Tools\Harvest\kelvaro.exe
// gives C:\Tools\Harvest\ and C:\kelvaro.exe gives C:\ . A path without a directory
// gives the separator alone.
std::filesystem::path RunDirectoryOf(const std::filesystem::path& programPath);

// Makes the program's directory the current directory of the process, so that a start
// from a shortcut with another working directory behaves like any other. Best effort.
void EnterProgramDirectory(const std::filesystem::path& programPath);

}  // namespace kelvaro
