// Handing a document or web address to the system shell, which opens it with the
// program the user has chosen for it. The call does not wait for that program.
#pragma once

#include <string>

namespace kelvaro {

// Texts are CP936. `window` is the owner for anything the shell shows, or null.
// `operation` is the shell's verb ("open", "edit", "explore", "find", "print");
// `showMode` a show-window code (1 for a normal window). The shell's answer is
// dropped: failures are not reported.
//
// On Windows this is ShellExecuteW. Elsewhere the desktop's opener, xdg-open, gets
// `file` for every verb; `parameters`, `directory` and `showMode` have no meaning there.
void ShellExecuteText(void* window, const std::string& operation, const std::string& file,
                      const std::string& parameters, const std::string& directory, int showMode);

}  // namespace kelvaro
