// runDirectory from the program's path, on the platform's own separator.
#include "app/run_directory.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelvaro {
namespace {

// '/' in the cases stands for the platform's separator.
std::filesystem::path Native(std::u8string text) {
  std::filesystem::path path(text);
  std::filesystem::path::string_type native = path.native();
  std::replace(native.begin(), native.end(), std::filesystem::path::value_type('/'),
               std::filesystem::path::preferred_separator);
  return std::filesystem::path(native);
}

TEST(RunDirectory, IsTheProgramsDirectoryEndingInASeparator) {
  struct Case {
    std::u8string program, expected;
  } cases[] = {
      {u8"C:/Tools/Harvest/kelvaro.exe", u8"C:/Tools/Harvest/"},
      {u8"D:/Apps/Harvest/kelvaro.exe", u8"D:/Apps/Harvest/"},
      {u8"D:/kelvaro.exe", u8"D:/"},
      {u8"C:/采集/工具 2/kelvaro.exe", u8"C:/采集/工具 2/"},
      {u8"kelvaro.exe", u8"/"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunDirectoryOf(Native(c.program)).native(), Native(c.expected).native())
        << Native(c.program);
  }
}

}  // namespace
}  // namespace kelvaro
