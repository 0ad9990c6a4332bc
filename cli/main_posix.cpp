// kelvaro-cli's entry point on Linux: the arguments as the locale gives them.
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "platform/terminal.h"

int main(int argc, char** argv) {
  kelvaro::InitTerminal();
  return kelvaro::RunCli(std::vector<std::string>(argv + 1, argv + argc));
}
