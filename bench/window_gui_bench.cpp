// The main window at scale, under Wine: the related list at 100,000 items.
//
//   1. add:    worker threads add 100,000 items (half of them repeats) one by one, each
//              through a hand-over to the window thread, as a harvest's tasks do;
//   2. dedupe: DedupeRelatedList on the window thread with event processing after
//              every text, as a stop runs it;
//   3. read:   every item read back by a worker thread through hand-overs, and by the
//              window thread directly.
//   4. harvest (optional): a whole harvest through the real button against the local
//              test search service, for a look at the window while it works.
//
// While each pass runs, a helper thread invalidates the window and the list every 50 ms
// and counts how often it finds the last invalidation painted: the window keeps
// repainting during the pass.
//
//   window_gui_bench.exe [items] [--harvest latency-ms] [--hold]
//   (under scripts/wine-run.sh, with an X display; --hold keeps the window open until
//   it is closed, for screenshots)
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/program.h"
#include "engine/dedupe_related_list.h"
#include "engine/harvest_texts.h"
#include "engine/search_request.h"
#include "tests/support/search_service.h"
#include "tests/support/temp_dir.h"

namespace kelvaro {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultItems = 100000;
constexpr int kWorkers = 8;
const std::string kKeyword = "\xB9\xD8\xBC\xFC\xD7\xD6";  // 关键字
const std::string kSeed = "\xCA\xD6\xBB\xFA";             // 手机

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// Invalidates the window and the related list every 50 ms while it lives, as a user's
// other windows moving over them would, and counts the times it found the previous
// invalidation already painted. Looking from outside keeps the window's own message
// handling as it is.
class RepaintProbe {
 public:
  RepaintProbe(HWND window, HWND list)
      : thread_([this, window, list] {
          while (!stop_) {
            InvalidateRect(window, nullptr, TRUE);
            InvalidateRect(list, nullptr, TRUE);
            Sleep(50);
            ++rounds;
            if (!GetUpdateRect(window, nullptr, FALSE)) ++windowPaints;
            if (!GetUpdateRect(list, nullptr, FALSE)) ++listPaints;
          }
        }) {}
  ~RepaintProbe() { Stop(); }
  void Stop() {
    if (stop_.exchange(true)) return;
    thread_.join();
  }

  std::atomic<long> rounds{0}, windowPaints{0}, listPaints{0};

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Runs `work` on helper threads while the window thread processes events.
void RunOnWorkers(MainWindow& window, int workers, const std::function<void(int worker)>& work) {
  std::atomic<int> running{workers};
  std::vector<std::thread> threads;
  for (int w = 0; w < workers; ++w) {
    threads.emplace_back([&, w] {
      work(w);
      --running;
    });
  }
  while (running > 0) {
    window.ProcessEvents();
    MsgWaitForMultipleObjectsEx(0, nullptr, 1, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  for (std::thread& thread : threads) thread.join();
}

struct Pass {
  const char* name;
  double ms, cpuMs;
  long rounds, listPaints, windowPaints;
};

void Report(const Pass& pass, int items) {
  std::printf("%-36s %7d items %8.1f ms (CPU %7.1f ms)   repainted: list %ld, window %ld of %ld\n",
              pass.name, items, pass.ms, pass.cpuMs, pass.listPaints, pass.windowPaints,
              pass.rounds);
}

// This process's processor time, user and kernel, in milliseconds. The machine's other
// work does not count in it, but neither does the Wine server's part of each call.
double ProcessCpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ticks = [](const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

template <typename Body>
Pass Measure(const char* name, MainWindow& window, HWND list, Body body) {
  RepaintProbe probe(window.Handle(), list);
  const double cpuStart = ProcessCpuMilliseconds();
  const auto start = Clock::now();
  body();
  const double ms = Milliseconds(Clock::now() - start);
  const double cpuMs = ProcessCpuMilliseconds() - cpuStart;
  probe.Stop();
  return {name, ms, cpuMs, probe.rounds, probe.listPaints, probe.windowPaints};
}

// What one round trip to the Wine server costs now: every check of the message queue is
// one, so the passes that process events after every item follow it closely. It varies
// with the machine's other work, so each run reports it.
void ReportServerRoundTrip() {
  constexpr int kCalls = 10000;
  const auto start = Clock::now();
  for (int i = 0; i < kCalls; ++i) GetQueueStatus(QS_ALLINPUT);
  std::printf("one GetQueueStatus (a server round trip): %.1f us\n",
              Milliseconds(Clock::now() - start) * 1000.0 / kCalls);
}

int ScalePasses(Program& program, int items) {
  MainWindow& window = program.Window();
  ReportServerRoundTrip();
  HWND list = GetDlgItem(window.Handle(), static_cast<int>(ControlId::RelatedList));
  const int unique = items / 2;
  auto text = [&](int i) { return kKeyword + " " + std::to_string(i % unique); };

  Report(Measure("add from 8 threads (hand-overs)", window, list,
                 [&] {
                   RunOnWorkers(window, kWorkers, [&](int w) {
                     for (int i = w; i < items; i += kWorkers) {
                       window.ListAdd(ListId::RelatedKeywords, text(i));
                     }
                   });
                 }),
         items);
  if (window.ListCount(ListId::RelatedKeywords) != items) return 1;

  std::mutex passLock;
  Report(Measure("DedupeRelatedList, events processed", window, list,
                 [&] { DedupeRelatedList(window, passLock, true); }),
         items);
  if (window.ListCount(ListId::RelatedKeywords) != unique) return 1;

  // Back to the full list for the reads.
  for (int i = unique; i < items; ++i) window.ListAdd(ListId::RelatedKeywords, text(i));
  window.ProcessEvents();

  std::atomic<long> bytes{0};
  Report(Measure("read back by a thread (hand-overs)", window, list,
                 [&] {
                   RunOnWorkers(window, 1, [&](int) {
                     long total = 0;
                     for (int i = 0; i < items; ++i) {
                       total +=
                           static_cast<long>(window.ListText(ListId::RelatedKeywords, i).size());
                     }
                     bytes = total;
                   });
                 }),
         items);
  long direct = 0;
  Report(Measure("read back on the window thread", window, list,
                 [&] {
                   for (int i = 0; i < items; ++i) {
                     direct +=
                         static_cast<long>(window.ListText(ListId::RelatedKeywords, i).size());
                   }
                 }),
         items);
  std::vector<wchar_t> buffer(256);
  Report(Measure("LB_GETTEXT of every row", window, list,
                 [&] {
                   for (int i = 0; i < items; ++i) {
                     SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                  reinterpret_cast<LPARAM>(buffer.data()));
                   }
                 }),
         items);
  return bytes == direct ? 0 : 1;
}

// A harvest from one seed with ten related keywords per page, three levels deep: 111
// pages fetched and 1,110 related keywords found.
int HarvestPass(Program& program, test::TestSearchService& service, int latencyMs) {
  MainWindow& window = program.Window();
  service.SetGenerator(test::FanOutGraph(10));
  service.SetDefaultAnswer(test::Answer::Delayed(std::chrono::milliseconds(latencyMs)));
  window.ListClear(ListId::RelatedKeywords);
  window.ListAdd(ListId::Keywords, kSeed);
  window.SetEditText(EditId::Depth, "3");
  HWND button = GetDlgItem(window.Handle(), static_cast<int>(ControlId::StartButton));
  const auto start = Clock::now();
  SendMessageW(button, BM_CLICK, 0, 0);
  const std::string summary = HarvestSummary(1110, 1110);
  while (window.StatusText() != summary) {
    window.ProcessEvents();
    MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  std::printf("harvest, %d ms per page, 20 workers:     111 pages %9.1f ms\n", latencyMs,
              Milliseconds(Clock::now() - start));
  return 0;
}

int Run(int items, int harvestLatencyMs, bool hold) {
  test::TempDir dir;
  test::TestSearchService service;
  std::atomic<bool> ended{false};
  ProgramHooks hooks;
  hooks.fetchPage = [&service](const std::string& keyword, const std::atomic<bool>* cancel) {
    return FetchSearchPage(keyword, service.Endpoint(5000), cancel);
  };
  hooks.askOpenMakerPage = [] { return false; };
  hooks.endProcess = [&ended](UINT) { ended = true; };
  Program program(dir / "kelvaro.exe", hooks);
  program.Startup();
  program.Window().ProcessEvents();

  int result = ScalePasses(program, items);
  if (result == 0 && harvestLatencyMs >= 0) {
    result = HarvestPass(program, service, harvestLatencyMs);
  }
  if (hold) {
    MSG message;
    while (!ended && GetMessageW(&message, nullptr, 0, 0) > 0) {
      program.Window().DispatchQueuedMessage(message);
    }
  }
  return result;
}

}  // namespace
}  // namespace kelvaro

int wmain(int argc, wchar_t** argv) {
  int items = kelvaro::kDefaultItems;
  int harvestLatencyMs = -1;
  bool hold = false;
  for (int i = 1; i < argc; ++i) {
    if (std::wcscmp(argv[i], L"--hold") == 0) {
      hold = true;
    } else if (std::wcscmp(argv[i], L"--harvest") == 0 && i + 1 < argc) {
      harvestLatencyMs = std::stoi(argv[++i]);
    } else {
      items = std::stoi(argv[i]);
    }
  }
  const int result = kelvaro::Run(items, harvestLatencyMs, hold);
  std::printf(result == 0 ? "ok\n" : "FAILED\n");
  return result;
}
