// kelvaro.exe's entry routine: the program's directory becomes the current one, the
// harvest state and the exit clean-up come into being, the start-up shows the main
// window, and the thread becomes the window thread. The process ends in ExitProgram,
// normally from the main window's destruction.
#include <windows.h>

#include "app/run_directory.h"
#include "app/win32/program.h"
#include "platform/process.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::filesystem::path programPath = kelvaro::ProgramPath();
  kelvaro::EnterProgramDirectory(programPath);
  kelvaro::Program program(programPath);
  program.Startup();
  program.RunMessageLoop();
  program.ExitProgram(0);
  return 0;
}
