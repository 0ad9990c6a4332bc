// Runs a program as a child process with the given arguments, environment additions
// and standard input, collecting its standard output and error. For end-to-end tests
// of the command-line programs.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace kelvaro::test {

struct ChildResult {
  int exitCode = -1;  // -1 when it did not exit normally (killed, or not started)
  std::string out;
  std::string err;
};

struct ChildOptions {
  std::vector<std::string> env;  // "NAME=value" entries added to (or replacing) ours
  std::string input;             // written to its standard input, which is then closed
  // Called once the child runs, with its process id; the child's output is collected
  // meanwhile. Used to send it signals.
  std::function<void(int pid)> whileRunning;
};

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const ChildOptions& options = {});

}  // namespace kelvaro::test
