// kelvaro-cli's entry point on Windows: UTF-16 arguments, handed on as UTF-8.
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "platform/code_page.h"
#include "platform/terminal.h"

int wmain(int argc, wchar_t** argv) {
  kelvaro::InitTerminal();
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    args.push_back(kelvaro::WideToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
  }
  return kelvaro::RunCli(args);
}
