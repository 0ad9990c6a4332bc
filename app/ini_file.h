// Reading and writing one value of an INI file of the private-profile kind.
//
// Our own implementation rather than GetPrivateProfileStringA and
// WritePrivateProfileStringA: those convert through the system's ANSI code page, so on
// a Windows whose language is not Chinese the CP936 names and values would be garbled.
// Here the file is plain CP936 bytes on every system, and the rules are the ones people
// know from the system's functions: section and key names match whatever the case of
// their letters, a value loses the blanks and one pair of quotation marks around it
// when read, a value is cut to 10,239 bytes, a write replaces the key's line in place,
// adds a missing key at the end of its section and a missing section at the end of the
// file, and leaves every other line as it was.
//
// A write goes to a new file beside the old one, which then replaces it in one step, so a
// program that dies while writing never leaves a half-written file behind.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace kelvaro {

// The longest value a read gives, in bytes (the system's buffer of 10,240 less its NUL).
inline constexpr size_t kMaxIniValueBytes = 10239;

// The value of `key` in `section`, or `fallback` when the file, the section or the key
// is missing. Names and texts are CP936. Leading blanks (bytes 0x01 to 0x20) of section
// and key are skipped; when either is then empty, the result is the empty text.
std::string ReadIniText(const std::filesystem::path& file, const std::string& section,
                        const std::string& key, const std::string& fallback);

// Stores `value` as the value of `key` in `section`, creating what is missing. Writes
// the line key=value with no blanks added. Gives false when nothing could be written
// (the program's callers ignore it: a setting that cannot be kept is simply not kept).
bool WriteIniText(const std::filesystem::path& file, const std::string& section,
                  const std::string& key, const std::string& value);

}  // namespace kelvaro
