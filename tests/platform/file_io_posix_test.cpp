// POSIX sides of the whole-file write: a write that runs out of room half-way (the
// file-size limit stands in for a full disk, and holds for root too), and the
// replacement keeping the file's mode and symbolic links.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "tests/support/temp_dir.h"

namespace kelvaro {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Lowers the process's file-size limit while it lives; writes past it fail with EFBIG.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  sighandler_t previousHandler_{};
};

TEST(FileIoPosix, WriteThatRunsOutOfRoomKeepsTheEarlierFile) {
  TempDir dir;
  const auto file = dir / "keywords.txt";
  WriteBytes(file, "earlier\r\n");
  bool written = true;
  {
    FileSizeLimit limit(64 * 1024);
    written = WriteWholeFile(file, std::string(1024 * 1024, 'x'));
  }
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadBytes(file), "earlier\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(FileIoPosix, ReplacementKeepsModeAndLinks) {
  TempDir dir;
  const auto file = dir / "real.txt";
  const auto link = dir / "link.txt";
  WriteBytes(file, "earlier");
  chmod(file.c_str(), 0640);
  std::filesystem::create_symlink("real.txt", link);

  ASSERT_TRUE(WriteWholeFile(link, "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(file), "new");
  struct stat info {};
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(FileIoPosix, WritesATargetWithTheLongestName) {
  TempDir dir;
  const auto file = dir / std::string(255, 'k');
  WriteBytes(file, "earlier");
  ASSERT_TRUE(WriteWholeFile(file, "new"));
  EXPECT_EQ(ReadBytes(file), "new");
}

}  // namespace
}  // namespace kelvaro
