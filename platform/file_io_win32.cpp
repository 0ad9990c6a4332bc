// Windows whole-file I/O with CreateFileW and UTF-16 paths, and MoveFileExW to put a
// finished file in place in one step.
#include <windows.h>

#include <random>

#include "platform/file_io.h"
#include "platform/unique_handle.h"

namespace kelvaro {
namespace {

struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { CloseHandle(handle); }
};
using UniqueFile = UniqueHandle<FileHandleTraits>;

constexpr DWORD kChunk = 1 << 20;

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() < kChunk ? static_cast<DWORD>(bytes.size()) : kChunk;
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// A new file beside `target` that nobody else has: MoveFileExW replaces atomically only
// within one volume, so it cannot live in the temporary folder. Its name does not grow
// with the target's, so a target whose name is as long as names may be can be written.
UniqueFile CreateTemporaryBeside(const std::filesystem::path& target,
                                 std::filesystem::path& temporary) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = target.parent_path() / (L".kelvaro-" + std::to_wstring(random()) + L".tmp");
    UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return UniqueFile();
}

}  // namespace

std::string ReadWholeFile(const std::filesystem::path& file) {
  if (file.empty()) return {};
  UniqueFile handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return {};
  std::string bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(handle.Get(), &size) && size.QuadPart > 0) {
    bytes.reserve(static_cast<size_t>(size.QuadPart));
  }
  std::string buffer(kChunk, '\0');
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(handle.Get(), buffer.data(), kChunk, &got, nullptr)) return {};
    if (got == 0) return bytes;
    bytes.append(buffer.data(), got);
  }
}

bool WriteWholeFile(const std::filesystem::path& file, std::string_view bytes) {
  if (file.empty()) return false;
  std::filesystem::path temporary;
  UniqueFile handle = CreateTemporaryBeside(file, temporary);
  if (!handle) return false;
  bool written = WriteAll(handle.Get(), bytes) && FlushFileBuffers(handle.Get());
  handle.Reset();
  if (!written || !MoveFileExW(temporary.c_str(), file.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace kelvaro
