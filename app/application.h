// The application behind a front end's window: the harvest state, the run control of
// the start/stop button, runDirectory, and the handlers of the window's events.
//
// The Win32 program and the command-line front end both build one, give it their
// Window, and route their events to it, so start-up order, settings and stopping
// behave the same in both. The harvest state exists from construction on, before any
// window; runDirectory is set by the start-up, and the run control is bound once the
// front end's window object exists (before its creation event).
#pragma once

#include <filesystem>
#include <optional>

#include "engine/harvest_state.h"
#include "engine/page_fetcher.h"
#include "engine/run_control.h"
#include "engine/thread_starter.h"
#include "engine/window.h"

namespace kelvaro {

// Result pages from the real search service.
PageFetcher SearchServiceFetcher();

class Application {
 public:
  explicit Application(PageFetcher fetchPage = SearchServiceFetcher(),
                       ThreadStarter starter = StartDetachedThread);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  void SetRunDirectory(std::filesystem::path runDirectory) {
    runDirectory_ = std::move(runDirectory);
  }
  const std::filesystem::path& RunDirectory() const { return runDirectory_; }
  HarvestState& State() { return state_; }

  // `window` must outlive this object and every harvest it starts.
  void AttachWindow(Window& window);

  // The window's events.
  void LoadSettings();
  void SaveWorkerCount();
  void SaveDepth();
  void OnStartStopClicked();

  // Ends a running harvest at once; nothing when no window is attached.
  void AbortHarvest();

 private:
  HarvestState state_;
  PageFetcher fetchPage_;
  std::filesystem::path runDirectory_;
  Window* window_ = nullptr;
  std::optional<RunControl> runControl_;
};

}  // namespace kelvaro
