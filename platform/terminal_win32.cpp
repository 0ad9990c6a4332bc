// Windows: the entry point turns the UTF-16 arguments into UTF-8, so UTF-8 is the
// terminal encoding. A console is written with WriteConsoleW (right whatever its code
// page); a redirected stream gets UTF-8 bytes.
#include <windows.h>

#include "platform/code_page.h"
#include "platform/terminal.h"

namespace kelvaro {
namespace {

HANDLE StreamHandle(StandardStream stream) {
  switch (stream) {
    case StandardStream::Input:
      return GetStdHandle(STD_INPUT_HANDLE);
    case StandardStream::Output:
      return GetStdHandle(STD_OUTPUT_HANDLE);
    case StandardStream::Error:
      return GetStdHandle(STD_ERROR_HANDLE);
  }
  return GetStdHandle(STD_ERROR_HANDLE);
}

}  // namespace

void InitTerminal() {}

bool IsTerminal(StandardStream stream) {
  DWORD mode = 0;
  return GetConsoleMode(StreamHandle(stream), &mode) != 0;
}

std::string TerminalToAnsi(std::string_view text) {
  return WideToAnsi(Utf8ToWide(text));
}
std::string AnsiToTerminal(std::string_view cp936) {
  return WideToUtf8(AnsiToWide(cp936));
}

void WriteTerminal(StandardStream stream, std::string_view text) {
  HANDLE handle = StreamHandle(stream);
  DWORD done = 0;
  if (IsTerminal(stream)) {
    const std::u16string wide = Utf8ToWide(text);
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &done, nullptr);
    return;
  }
  while (!text.empty()) {
    if (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &done, nullptr) ||
        done == 0) {
      return;
    }
    text.remove_prefix(done);
  }
}

std::string ReadAllStandardInput() {
  HANDLE handle = StreamHandle(StandardStream::Input);
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(handle, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
    bytes.append(buffer, got);
  }
  return bytes;
}

}  // namespace kelvaro
