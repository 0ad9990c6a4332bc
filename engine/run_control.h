// The start/stop button: its click handler and the three run operations.
//
// The button's caption is the run state: "开始采集" means no harvest runs and a
// click starts one; any other caption means one runs and a click stops it. All
// four operations run on the window thread.
//
// Stopping never kills a thread and never waits for a fetch: AbortHarvest sets the
// harvest's mark, fences the states the harvest's threads change, and stops the
// pool with a 1 ms grace period. When it returns, nothing of that harvest changes
// the related list, the TaskList, the pool's queue or pendingTasks any more; its
// abandoned threads wind down by themselves.
#pragma once

#include "engine/harvest_state.h"
#include "engine/page_fetcher.h"
#include "engine/window.h"

namespace kelvaro {

class RunControl {
 public:
  // `window` and `state` must outlive this object and every harvest it starts
  // (see HarvestState::WaitUntilQuiet).
  RunControl(Window& window, HarvestState& state, PageFetcher fetchPage);

  // The button's click: StartHarvest when the caption is "开始采集" byte for
  // byte, StopHarvest otherwise. A click that arrives while a stop is
  // de-duplicating the related list (the window processes events meanwhile) is
  // taken up once that pass is over.
  void OnStartStopClicked();

  void StartHarvest();
  void StopHarvest();
  void AbortHarvest();

 private:
  void HandleClick();

  Window& window_;
  HarvestState& state_;
  PageFetcher fetchPage_;
  bool inStopPass_ = false;
  int deferredClicks_ = 0;
};

}  // namespace kelvaro
