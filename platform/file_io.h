// Whole-file reading and writing, for the keyword files the lists import and export.
//
// A file is read or written in one piece. Writing never truncates the chosen file in
// place: the bytes go to a temporary file in the same directory, which then replaces
// the target in one rename, so a crash or a full disk half-way leaves the earlier
// file as it was.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kelvaro {

// The whole content of the file, opened for reading only and with other writers shut
// out while it is open. An empty path, a file that cannot be opened or a failed read
// gives the empty byte string; a file that ends early gives the bytes that were read.
std::string ReadWholeFile(const std::filesystem::path& file);

// Replaces the file's content with `bytes` (creating the file when it is missing).
// Gives false when the file cannot be written; the earlier file is then untouched and
// no temporary file is left behind. An empty path fails without touching anything.
bool WriteWholeFile(const std::filesystem::path& file, std::string_view bytes);

}  // namespace kelvaro
