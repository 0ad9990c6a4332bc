#include "app/win32/program.h"

#include <mutex>
#include <vector>

#include "app/run_directory.h"
#include "app/win32/wide_text.h"
#include "platform/process.h"
#include "platform/unique_handle.h"

namespace kelvaro {
namespace {

struct EventTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle event) { CloseHandle(event); }
};

// How long the program object, when it is destroyed without ending the process, waits
// for harvest threads that still run out a fetch.
constexpr std::chrono::seconds kThreadWindDown{30};

}  // namespace

// The harvest threads still running; `quiet` is signalled while there are none, so the
// window thread can wait for it and for sent messages at once.
struct Program::ThreadCount {
  std::mutex mutex;
  int live = 0;
  UniqueHandle<EventTraits> quiet{CreateEventW(nullptr, TRUE, TRUE, nullptr)};

  void Change(int delta) {
    std::lock_guard lock(mutex);
    live += delta;
    if (live == 0) {
      SetEvent(quiet.Get());
    } else {
      ResetEvent(quiet.Get());
    }
  }
  int Live() {
    std::lock_guard lock(mutex);
    return live;
  }
};

bool AskOpenMakerPage() {
  const std::wstring text = ToWide(kMakerQuestion);
  const std::wstring caption = ToWide(kMakerQuestionCaption);
  return MessageBoxW(nullptr, text.c_str(), caption.c_str(),
                     MB_OKCANCEL | MB_ICONQUESTION | MB_TASKMODAL) == IDOK;
}

Program::Program(std::filesystem::path programPath, ProgramHooks hooks)
    : programPath_(std::move(programPath)),
      hooks_(std::move(hooks)),
      threads_(std::make_shared<ThreadCount>()) {
  if (!hooks_.fetchPage) hooks_.fetchPage = SearchServiceFetcher();
  if (!hooks_.askOpenMakerPage) hooks_.askOpenMakerPage = AskOpenMakerPage;
  if (!hooks_.shellOpen) hooks_.shellOpen = ShellOpen;
  if (!hooks_.endProcess) hooks_.endProcess = [](UINT code) { ExitProcess(code); };

  ThreadStarter countingStarter = CountingStarter(
      StartDetachedThread, [threads = threads_](int delta) { threads->Change(delta); });
  application_ = std::make_unique<Application>(hooks_.fetchPage, std::move(countingStarter));
  application_->AttachWindow(window_);

  Application& application = *application_;
  window_.SetEvents({
      .created = [&application] { application.LoadSettings(); },
      .destroyed = [this] { OnMainWindowDestroyed(); },
      .startStopClicked = [&application] { application.OnStartStopClicked(); },
      .workerCountChanged = [&application] { application.SaveWorkerCount(); },
      .depthChanged = [&application] { application.SaveDepth(); },
  });
}

Program::~Program() {
  window_.SilenceEvents();
  if (HWND hwnd = window_.Handle()) DestroyWindow(hwnd);
  application_.reset();  // an idle pool's workers leave once its queue is closed
  WaitForHarvestThreads(kThreadWindDown);
}

void Program::Startup() {
  PinProcessToFirstProcessor();
  application_->SetRunDirectory(RunDirectoryOf(programPath_));
  EnableDebugPrivilege();
  window_.Create();
  TrimWorkingSet();
}

void Program::RunMessageLoop() {
  if (!window_.Handle()) return;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) window_.DispatchQueuedMessage(message);
}

void Program::ExitProgram(UINT code) {
  if (!window_.OnWindowThread()) {
    window_.Invoke([this, code] { ExitProgram(code); });
    return;
  }
  window_.SilenceEvents();
  // The main window may be on its way out already: this is then its destruction handler.
  std::vector<HWND> windows;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM list) {
        if (IsWindowVisible(hwnd)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  for (HWND hwnd : windows) {
    if (hwnd != window_.Handle() || !mainWindowDestroying_) DestroyWindow(hwnd);
  }
  if (window_.Handle() && !mainWindowDestroying_) DestroyWindow(window_.Handle());
  application_.reset();  // the exit clean-up: harvest state and runDirectory
  hooks_.endProcess(code);
}

bool Program::WaitForHarvestThreads(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (threads_->Live() == 0) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    HANDLE quiet = threads_->quiet.Get();
    const DWORD woken = MsgWaitForMultipleObjectsEx(1, &quiet, static_cast<DWORD>(left.count()),
                                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    // A harvest thread may wait in a hand-over to the window, which runs it meanwhile.
    if (woken == WAIT_OBJECT_0 + 1) window_.ProcessWaitingEvents();
  }
}

void Program::OnMainWindowDestroyed() {
  mainWindowDestroying_ = true;
  if (application_) CloseDown(*application_, hooks_.askOpenMakerPage, hooks_.shellOpen);
  ExitProgram(0);
}

}  // namespace kelvaro
