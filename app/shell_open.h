// ShellOpen: hands a document or web address to the system shell, with the shell's
// verb chosen by number, as the exit question uses it for the maker's page.
#pragma once

#include <string>
#include <string_view>

namespace kelvaro {

// What ShellOpen is given; every member but `file` has the default the caller may leave
// out: no owner window, operation 4 ("open"), no parameters or directory, show code 1.
struct ShellOpenRequest {
  void* window = nullptr;
  int operation = 4;
  std::string file;  // CP936
  std::string parameters;
  std::string directory;
  int showMode = 1;  // SW_SHOWNORMAL
};

// 1 "edit", 2 "explore", 3 "find", 4 "open", 5 "print"; any other number "open".
std::string_view ShellOperationText(int operation);

// The shell's own answer is dropped.
void ShellOpen(const ShellOpenRequest& request);

}  // namespace kelvaro
