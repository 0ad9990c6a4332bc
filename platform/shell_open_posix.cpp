// Linux: xdg-open, started with fork and exec rather than a shell, so an address is
// passed as one argument and never read as shell syntax. A second fork detaches the
// opener: the caller does not wait for it and leaves no zombie behind.
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/code_page.h"
#include "platform/shell_open.h"

namespace kelvaro {

void ShellExecuteText(void* /*window*/, const std::string& /*operation*/, const std::string& file,
                      const std::string& /*parameters*/, const std::string& /*directory*/,
                      int /*showMode*/) {
  if (file.empty()) return;
  // Everything the child needs is made before the fork: after it, only calls that are
  // safe in the child of a threaded process are made.
  const std::string argument = WideToUtf8(AnsiToWide(file));
  char program[] = "xdg-open";
  char* const argv[] = {program, const_cast<char*>(argument.c_str()), nullptr};

  const pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    if (fork() == 0) {
      execvp(program, argv);
      _exit(127);
    }
    _exit(0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace kelvaro
