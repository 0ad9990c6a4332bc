// Windows: ShellExecuteW with the CP936 texts converted explicitly, so the address
// reaches the shell intact whatever the system's ANSI code page is.
#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include <string>

#include "platform/code_page.h"
#include "platform/shell_open.h"

namespace kelvaro {
namespace {

std::wstring Wide(const std::string& cp936) {
  const std::u16string wide = AnsiToWide(cp936);
  return std::wstring(wide.begin(), wide.end());
}

const wchar_t* OrNull(const std::wstring& text) {
  return text.empty() ? nullptr : text.c_str();
}

}  // namespace

void ShellExecuteText(void* window, const std::string& operation, const std::string& file,
                      const std::string& parameters, const std::string& directory, int showMode) {
  const std::wstring wideOperation = Wide(operation);
  const std::wstring wideFile = Wide(file);
  const std::wstring wideParameters = Wide(parameters);
  const std::wstring wideDirectory = Wide(directory);
  ShellExecuteW(static_cast<HWND>(window), OrNull(wideOperation), wideFile.c_str(),
                OrNull(wideParameters), OrNull(wideDirectory), showMode);
}

}  // namespace kelvaro
