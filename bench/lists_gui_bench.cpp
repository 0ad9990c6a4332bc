// Keyword lists at scale: the export of a 100,000-item related list and the import of
// the 100,000-line file it gives, through the real main window, under Wine.
//
// The commands run exactly as from the pop-up menus; a helper thread answers the
// system's file dialog, then keeps calling into the window (a hand-over, as a running
// harvest does) while the command works, so the figures also show how long the window
// leaves another thread waiting. Each timing starts when the file dialog has gone and
// ends when the command returns.
//
//   lists_gui_bench.exe [lines] [probe]
//
// The probe hands over to the window about every millisecond while a command runs;
// probe 0 leaves the window alone.
// Run it in Wine's own desktop (wine explorer /desktop=bench,1024x768 ...): without a
// window manager, Wine waits for every closed top-level window to be withdrawn, which
// would add seconds after each file dialog.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/main_window.h"
#include "lists/list_commands.h"
#include "platform/file_io.h"
#include "tests/gui/window_driver.h"
#include "tests/support/temp_dir.h"

namespace kelvaro {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultLines = 100000;
// The file name box of the system's file dialogs: a combo box in the explorer style,
// a plain edit box in some implementations.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;
const std::string kKeyword = "\xB9\xD8\xBC\xFC\xD7\xD6";  // 关键字

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

HWND WaitForDialog(DWORD thread) {
  HWND found = nullptr;
  test::WaitUntil([&] { return (found = test::FindThreadWindow(thread, L"#32770")) != nullptr; });
  return found;
}

struct Figures {
  double commandMs = 0;
  double longestHandOverMs = 0;
  long handOvers = 0;
};

// Runs `command` on this, the window thread, while a helper thread answers the file
// dialog with `file` and then, with `probe`, hands over to the window until the command
// has returned.
Figures RunCommand(MainWindow& window, void (*command)(Window&), const std::filesystem::path& file,
                   bool probe) {
  const DWORD windowThread = GetCurrentThreadId();
  std::atomic<bool> stop{false};
  std::atomic<bool> probeDone{false};
  Clock::time_point dialogGone;
  Figures figures;
  std::thread helper([&] {
    HWND dialog = WaitForDialog(windowThread);
    HWND box = GetDlgItem(dialog, kFileNameCombo);
    if (!box) box = GetDlgItem(dialog, kFileNameEdit);
    SetWindowTextW(box, file.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    while (IsWindow(dialog)) Sleep(0);
    dialogGone = Clock::now();
    while (probe && !stop) {
      const auto start = Clock::now();
      window.ListCount(ListId::Keywords);
      const double waited = Milliseconds(Clock::now() - start);
      if (waited > figures.longestHandOverMs) figures.longestHandOverMs = waited;
      ++figures.handOvers;
      Sleep(1);  // about as often as a busy harvest hands over
    }
    probeDone = true;
  });
  command(window);
  const auto end = Clock::now();
  stop = true;
  while (!probeDone) {  // the probe may be waiting for a hand-over
    window.ProcessEvents();
    Sleep(0);
  }
  helper.join();
  figures.commandMs = Milliseconds(end - dialogGone);
  return figures;
}

void Report(const char* what, int count, const Figures& figures) {
  std::printf("%s %d: %.1f ms, longest hand-over wait %.1f ms over %ld hand-overs\n", what, count,
              figures.commandMs, figures.longestHandOverMs, figures.handOvers);
}

int Run(int lines, bool probe) {
  test::TempDir dir;
  std::vector<std::string> keywords;
  std::string file;
  for (int i = 0; i < lines; ++i) {
    keywords.push_back(kKeyword + " " + std::to_string(i));
    file += keywords.back() + "\r\n";
  }
  const auto output = dir / "keywords.txt";

  MainWindow window;
  if (!window.Create()) return 1;
  window.ProcessEvents();

  const auto fillStart = Clock::now();
  for (const std::string& keyword : keywords) window.ListAdd(ListId::RelatedKeywords, keyword);
  std::printf("(filling the related list took %.1f ms)\n", Milliseconds(Clock::now() - fillStart));

  const Figures exported = RunCommand(window, ExportRelatedKeywords, output, probe);
  Report("export", lines, exported);
  if (ReadWholeFile(output) != file) {
    std::printf("the exported file differs from the one made\n");
    return 1;
  }

  const Figures import = RunCommand(window, ImportKeywords, output, probe);
  Report("import", lines, import);
  if (window.ListCount(ListId::Keywords) != lines) {
    std::printf("the import gave %d items\n", window.ListCount(ListId::Keywords));
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace kelvaro

int wmain(int argc, wchar_t** argv) {
  const int lines = argc > 1 ? std::stoi(argv[1]) : kelvaro::kDefaultLines;
  const bool probe = argc > 2 ? std::stoi(argv[2]) != 0 : true;
  return kelvaro::Run(lines, probe);
}
