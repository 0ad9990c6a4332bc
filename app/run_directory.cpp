#include "app/run_directory.h"

#include <system_error>

namespace kelvaro {

std::filesystem::path RunDirectoryOf(const std::filesystem::path& programPath) {
  std::filesystem::path::string_type directory = programPath.parent_path().native();
  if (directory.empty() || directory.back() != std::filesystem::path::preferred_separator) {
    directory += std::filesystem::path::preferred_separator;
  }
  return std::filesystem::path(std::move(directory));
}

void EnterProgramDirectory(const std::filesystem::path& programPath) {
  const std::filesystem::path directory = programPath.parent_path();
  if (directory.empty()) return;
  std::error_code ignored;
  std::filesystem::current_path(directory, ignored);
}

}  // namespace kelvaro
