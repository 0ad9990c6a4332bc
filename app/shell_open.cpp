#include "app/shell_open.h"

#include "platform/shell_open.h"

namespace kelvaro {

std::string_view ShellOperationText(int operation) {
  switch (operation) {
    case 1:
      return "edit";
    case 2:
      return "explore";
    case 3:
      return "find";
    case 5:
      return "print";
    default:
      return "open";
  }
}

void ShellOpen(const ShellOpenRequest& request) {
  ShellExecuteText(request.window, std::string(ShellOperationText(request.operation)), request.file,
                   request.parameters, request.directory, request.showMode);
}

}  // namespace kelvaro
