// Conversions between the program's code-page-936 text, UTF-8 and UTF-16.
//
// Text inside the program is CP936 bytes; pages arrive as UTF-8 and the screen wants
// UTF-16, so these are the only places where an encoding changes. None of them fails:
// malformed input becomes U+FFFD (towards Unicode) and a character that CP936 lacks
// becomes "?", so one bad byte never costs the rest of a page.
//
// MultiByteToWideChar/WideCharToMultiByte on Windows, iconv on Linux.
#pragma once

#include <string>
#include <string_view>

namespace kelvaro {

std::u16string Utf8ToWide(std::string_view utf8);
std::string WideToAnsi(std::u16string_view wide);  // to CP936
std::u16string AnsiToWide(std::string_view cp936);
std::string WideToUtf8(std::u16string_view wide);

}  // namespace kelvaro
