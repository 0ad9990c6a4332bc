// A harvest set up the way a front end sets it up: an in-memory window whose
// button runs the run control, the harvest state, and a page fetcher. The run
// control sees the window through a recorder, so a test can also see the related
// list as it was just before its latest de-duplication.
//
// Its destructor calls off whatever still runs and waits until every thread of
// the harvest state has left, so no abandoned task outlives the window it reaches.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "engine/harvest_state.h"
#include "engine/memory_window.h"
#include "engine/page_fetcher.h"
#include "engine/run_control.h"
#include "tests/support/recording_window.h"

namespace kelvaro::test {

// What a test compares before and after: everything a harvest can change.
struct HarvestSnapshot {
  std::vector<std::string> related;
  size_t tasks = 0;
  int32_t pendingTasks = 0;
  size_t queuedItems = 0;
  std::string caption;
  std::string status;

  bool operator==(const HarvestSnapshot&) const = default;
};
// For test failure messages.
void PrintTo(const HarvestSnapshot& snapshot, std::ostream* out);

class HarvestRig {
 public:
  explicit HarvestRig(PageFetcher fetchPage, ThreadStarter starter = StartDetachedThread);
  ~HarvestRig();
  HarvestRig(const HarvestRig&) = delete;
  HarvestRig& operator=(const HarvestRig&) = delete;

  // The seed list and the two settings boxes.
  void Set(const std::vector<std::string>& seeds, const std::string& depth,
           const std::string& workers);
  // Clears the status text (so an old summary cannot be mistaken for the new
  // one) and clicks the button while it reads "start".
  void Start();
  // Clicks the button; the caption decides what it does.
  void Click() { window.Click(); }
  // Waits until the caption reads "start" and the status bar shows a summary.
  bool WaitForSummary(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  std::vector<std::string> Related() { return window.ListItems(ListId::RelatedKeywords); }
  HarvestSnapshot Snapshot();
  // Waits until every thread the harvest state started has left.
  bool WaitUntilQuiet(std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    return state.WaitUntilQuiet(timeout);
  }

  MemoryWindow window;  // declared first: it goes last
  RecordingWindow recorder{window};
  HarvestState state;
  RunControl runControl;
};

}  // namespace kelvaro::test
