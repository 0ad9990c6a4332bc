// Windows sides of the whole-file I/O: sharing. A file that another program holds
// open without allowing its replacement is not written, and stays as it was; a file
// being read cannot be written by others.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "tests/support/temp_dir.h"

namespace kelvaro {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(FileIoWin32, FileHeldOpenByAnotherIsNotReplaced) {
  TempDir dir;
  const auto file = dir / "keywords.txt";
  WriteBytes(file, "earlier\r\n");
  HANDLE other = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  const bool written = WriteWholeFile(file, "new\r\n");
  CloseHandle(other);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadBytes(file), "earlier\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

}  // namespace
}  // namespace kelvaro
