// 通用对话框1: the one open/save file dialog that the import and the export share.
//
// The component remembers the full path the user last confirmed, in either mode, and
// offers it the next time it is shown, so an export suggests the file just imported
// and the other way round. The path stays UTF-16, so a file whose name has any
// characters can be chosen.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "engine/window.h"

namespace kelvaro {

class FileDialog {
 public:
  // Shown modally, owned by `owner`; true when the user confirmed a file.
  bool Show(HWND owner, FileDialogMode mode);
  // The confirmed file's full path; empty until a file has been confirmed.
  std::filesystem::path Path() const { return std::filesystem::path(fileName_); }

  // The filter "TXT文件|*.txt|所有文件|*.*" in the system's form: the texts NUL-separated
  // and the list ended by a second NUL.
  static std::wstring FilterText();
  // The dialog's options for a mode.
  static DWORD Flags(FileDialogMode mode);

 private:
  std::wstring fileName_;
};

}  // namespace kelvaro
