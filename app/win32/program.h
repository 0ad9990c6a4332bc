// The Win32 program: start-up, the message loop and the one way the process ends.
//
// Program owns the application (harvest state, run control, runDirectory) and the main
// window, and routes the window's events to their handlers. kelvaro.exe's entry routine
// is little more than Startup, RunMessageLoop and ExitProgram; the window tests build a
// Program of their own with hooks in place of the search service, the exit question,
// the shell and the end of the process.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/application.h"
#include "app/shutdown.h"
#include "app/win32/main_window.h"
#include "engine/page_fetcher.h"

namespace kelvaro {

// Stand-ins for the outside world; an empty hook means the real thing.
struct ProgramHooks {
  PageFetcher fetchPage;                      // the search service
  MakerPageQuestion askOpenMakerPage;         // the exit question's message box
  ShellOpener shellOpen;                      // ShellOpen
  std::function<void(UINT code)> endProcess;  // ExitProcess
};

// The exit question as a message box without owner; true for OK.
bool AskOpenMakerPage();

class Program {
 public:
  // Creates the harvest state and registers the exit clean-up; the thread that calls
  // this is the window thread.
  explicit Program(std::filesystem::path programPath, ProgramHooks hooks = {});
  // Only reached when the process does not end in ExitProgram (the tests): takes the
  // window down without raising its events and waits briefly for the harvest threads.
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // StartupRoutine: affinity mask 1, runDirectory, the debug privilege, the main window
  // (whose creation loads the settings), then the working set trimmed.
  void Startup();
  // Dispatches messages until a request to quit, but only while the main window is open.
  void RunMessageLoop();
  // No window event from here on; the windows are destroyed, the exit clean-up runs
  // (once, however often this is called), and the process ends with `code`.
  void ExitProgram(UINT code);

  MainWindow& Window() { return window_; }
  // Null once the exit clean-up has run.
  Application* App() { return application_.get(); }

  // Waits until no thread of a harvest is left, handling the hand-overs those threads
  // send to the window thread meanwhile; false when `timeout` passed first.
  bool WaitForHarvestThreads(std::chrono::milliseconds timeout);

 private:
  struct ThreadCount;

  void OnMainWindowDestroyed();

  std::filesystem::path programPath_;
  ProgramHooks hooks_;
  // Harvest threads hold on to the window, so the program counts them itself: it can
  // wait for them after the exit clean-up has released the harvest state.
  std::shared_ptr<ThreadCount> threads_;
  MainWindow window_;
  std::unique_ptr<Application> application_;
  bool mainWindowDestroying_ = false;
};

}  // namespace kelvaro
