// The program's CP936 texts as the W functions want them, and back.
//
// Only the screen and the system's dialogs see UTF-16; these two conversions are the
// edge. On Windows wchar_t and char16_t are both 16-bit UTF-16 units.
#pragma once

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace kelvaro {

inline std::wstring ToWide(std::string_view cp936) {
  const std::u16string wide = AnsiToWide(cp936);
  return std::wstring(reinterpret_cast<const wchar_t*>(wide.data()), wide.size());
}

inline std::string FromWide(std::wstring_view wide) {
  return WideToAnsi(
      std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace kelvaro
