// A fresh directory under the system's temporary folder, removed with its content
// when the fixture goes out of scope.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kelvaro::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// The whole content of a file as bytes; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& file);
// Writes bytes to a file, replacing it; fails the current test when it cannot.
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);

}  // namespace kelvaro::test
