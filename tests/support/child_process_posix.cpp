// posix_spawn with three pipes; output is drained on threads of its own so a child
// that writes much never blocks on a full pipe.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <map>
#include <thread>

#include "tests/support/child_process.h"

extern char** environ;

namespace kelvaro::test {
namespace {

std::string Drain(int fd) {
  std::string bytes;
  char buffer[8192];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof(buffer));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    bytes.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return bytes;
}

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const ChildOptions& options) {
  signal(SIGPIPE, SIG_IGN);  // a child that exits early must not take the test with it
  ChildResult result;
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return result;

  std::map<std::string, std::string> env;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text = *entry;
    env[text.substr(0, text.find('='))] = text;
  }
  for (const std::string& text : options.env) env[text.substr(0, text.find('='))] = text;
  std::vector<char*> envp;
  for (auto& [name, text] : env) envp.push_back(text.data());
  envp.push_back(nullptr);
  std::vector<std::string> argStrings{program};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
  for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
    posix_spawn_file_actions_addclose(&actions, fd);
  }
  pid_t pid = 0;
  const int spawned =
      posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  if (spawned != 0) {
    close(in[1]);
    close(out[0]);
    close(err[0]);
    return result;
  }
  std::thread outReader([&] { result.out = Drain(out[0]); });
  std::thread errReader([&] { result.err = Drain(err[0]); });
  std::thread writer([&] {
    size_t done = 0;
    while (done < options.input.size()) {
      const ssize_t wrote = write(in[1], options.input.data() + done, options.input.size() - done);
      if (wrote <= 0) break;
      done += static_cast<size_t>(wrote);
    }
    close(in[1]);
  });
  if (options.whileRunning) options.whileRunning(pid);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  writer.join();
  outReader.join();
  errReader.join();
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

}  // namespace kelvaro::test
