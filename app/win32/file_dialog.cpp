#include "app/win32/file_dialog.h"

#include <commdlg.h>

#include <string_view>
#include <vector>

#include "app/win32/wide_text.h"

namespace kelvaro {
namespace {

// TXT文件|*.txt|所有文件|*.*
constexpr std::string_view kFilter =
    "TXT\xCE\xC4\xBC\xFE|*.txt|\xCB\xF9\xD3\xD0\xCE\xC4\xBC\xFE|*.*";
constexpr wchar_t kDefaultExtension[] = L"txt";
// Room for the longest path the system's own dialogs give back.
constexpr size_t kFileNameCapacity = 32768;

}  // namespace

std::wstring FileDialog::FilterText() {
  std::wstring filter = ToWide(kFilter);
  for (wchar_t& c : filter) {
    if (c == L'|') c = L'\0';
  }
  filter.push_back(L'\0');  // with the string's own terminator, the list ends in two NULs
  return filter;
}

DWORD FileDialog::Flags(FileDialogMode mode) {
  // The current directory stays the program's: the dialog would otherwise move it to
  // the folder of the chosen file.
  const DWORD common = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  return mode == FileDialogMode::Open ? common | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST
                                      : common | OFN_OVERWRITEPROMPT;
}

bool FileDialog::Show(HWND owner, FileDialogMode mode) {
  const std::wstring filter = FilterText();
  std::vector<wchar_t> buffer(kFileNameCapacity, L'\0');
  fileName_.copy(buffer.data(), std::min(fileName_.size(), buffer.size() - 1));

  OPENFILENAMEW request{};
  request.lStructSize = sizeof(request);
  request.hwndOwner = owner;
  request.lpstrFilter = filter.c_str();
  request.nFilterIndex = 1;
  request.lpstrFile = buffer.data();
  request.nMaxFile = static_cast<DWORD>(buffer.size());
  request.lpstrDefExt = kDefaultExtension;
  request.Flags = Flags(mode);

  const BOOL confirmed =
      mode == FileDialogMode::Open ? GetOpenFileNameW(&request) : GetSaveFileNameW(&request);
  if (!confirmed) return false;
  fileName_.assign(buffer.data());
  return true;
}

}  // namespace kelvaro
