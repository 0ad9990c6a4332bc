// Whole-file reading and writing: exact bytes both ways, and a failed write that
// leaves the earlier file and no temporary file behind.
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace kelvaro {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& dir) {
  std::vector<std::filesystem::path> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string EveryByte() {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  return bytes;
}

TEST(FileIo, ReadsTheBytesExactly) {
  TempDir dir;
  WriteBytes(dir / "all", EveryByte() + "\r\n\n\r");
  WriteBytes(dir / "empty", "");
  EXPECT_EQ(ReadWholeFile(dir / "all"), EveryByte() + "\r\n\n\r");
  EXPECT_EQ(ReadWholeFile(dir / "empty"), "");
}

TEST(FileIo, ReadOfWhatIsNoReadableFileGivesNothing) {
  TempDir dir;
  EXPECT_EQ(ReadWholeFile(""), "");
  EXPECT_EQ(ReadWholeFile(dir / "missing"), "");
  EXPECT_EQ(ReadWholeFile(dir.Path()), "");
}

TEST(FileIo, WriteCreatesOrReplacesTheFile) {
  TempDir dir;
  const auto file = dir / "out.txt";
  const std::string large(3 * 1024 * 1024 + 7, 'x');  // more than one write's chunk
  struct Step {
    std::string bytes;
  } steps[] = {{EveryByte()}, {large}, {"short"}, {""}};
  for (const auto& step : steps) {
    ASSERT_TRUE(WriteWholeFile(file, step.bytes));
    EXPECT_EQ(ReadBytes(file), step.bytes);
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::filesystem::path>{"out.txt"});
  }
}

TEST(FileIo, FailedWriteLeavesEverythingAsItWas) {
  TempDir dir;
  EXPECT_FALSE(WriteWholeFile("", "x"));

  EXPECT_FALSE(WriteWholeFile(dir / "missing" / "out.txt", "x"));
  EXPECT_TRUE(FilesIn(dir.Path()).empty());

  // A folder in the file's place: it stays, with its content.
  const auto folder = dir / "folder.txt";
  std::filesystem::create_directory(folder);
  WriteBytes(folder / "inside", "kept");
  EXPECT_FALSE(WriteWholeFile(folder, "x"));
  EXPECT_EQ(ReadBytes(folder / "inside"), "kept");
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::filesystem::path>{"folder.txt"});
}

}  // namespace
}  // namespace kelvaro
