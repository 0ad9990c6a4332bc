// The modal text-input dialog used to type a keyword.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace kelvaro {

// Shows the dialog centred on the screen, owned by `owner` (may be null). Texts are
// CP936. Gives the edit box's text when confirmed, nothing when cancelled.
std::optional<std::string> ShowPromptDialog(HWND owner, const std::string& prompt,
                                            const std::string& title,
                                            const std::string& initial);

}  // namespace kelvaro
