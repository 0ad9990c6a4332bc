// POSIX whole-file I/O: open/read/write/fsync, and rename to put a finished file in
// place atomically.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "platform/file_io.h"
#include "platform/unique_handle.h"

namespace kelvaro {
namespace {

struct FileDescriptorTraits {
  using Handle = int;
  static constexpr int Invalid() { return -1; }
  static void Close(int fd) { close(fd); }
};
using UniqueFd = UniqueHandle<FileDescriptorTraits>;

int OpenRetrying(const char* name, int flags, mode_t mode = 0) {
  for (;;) {
    const int fd = open(name, flags | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EINTR) return fd;
  }
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// A new file beside `target` that nobody else has: the rename that puts it in place
// only works within one file system, so it cannot live in /tmp. Its name does not
// grow with the target's, so a target whose name is as long as names may be can be
// written too.
UniqueFd CreateTemporaryBeside(const std::filesystem::path& target,
                               std::filesystem::path& temporary) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = target.parent_path() / (".kelvaro-" + std::to_string(random()) + ".tmp");
    UniqueFd fd(OpenRetrying(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666));
    if (fd || errno != EEXIST) return fd;
  }
  return UniqueFd();
}

// The file a replacement must land on: a symbolic link keeps pointing where it did.
std::filesystem::path ReplacementTarget(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_symlink(file, error)) return file;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(file, error);
  return error ? file : resolved;
}

void SyncDirectoryOf(const std::filesystem::path& file) {
  std::filesystem::path directory = file.parent_path();
  if (directory.empty()) directory = ".";
  UniqueFd fd(OpenRetrying(directory.c_str(), O_RDONLY | O_DIRECTORY));
  if (fd) fsync(fd.Get());
}

}  // namespace

std::string ReadWholeFile(const std::filesystem::path& file) {
  if (file.empty()) return {};
  UniqueFd fd(OpenRetrying(file.c_str(), O_RDONLY));
  if (!fd) return {};
  std::string bytes;
  struct stat info {};
  if (fstat(fd.Get(), &info) == 0 && info.st_size > 0)
    bytes.reserve(static_cast<size_t>(info.st_size));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(fd.Get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return {};
    }
    if (got == 0) return bytes;
    bytes.append(buffer, static_cast<size_t>(got));
  }
}

bool WriteWholeFile(const std::filesystem::path& file, std::string_view bytes) {
  if (file.empty()) return false;
  const std::filesystem::path target = ReplacementTarget(file);
  std::filesystem::path temporary;
  UniqueFd fd = CreateTemporaryBeside(target, temporary);
  if (!fd) return false;

  // The replacement keeps the mode and, where allowed, the owner of the file it replaces.
  struct stat existing {};
  if (stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    fchmod(fd.Get(), existing.st_mode & 07777);
    [[maybe_unused]] const int ignored = fchown(fd.Get(), existing.st_uid, existing.st_gid);
  }

  bool written = WriteAll(fd.Get(), bytes) && fsync(fd.Get()) == 0;
  written = close(fd.Release()) == 0 && written;
  if (!written || rename(temporary.c_str(), target.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  SyncDirectoryOf(target);
  return true;
}

}  // namespace kelvaro
