// The start/stop button; see run_control.h.
#include "engine/run_control.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <system_error>

#include "engine/dedupe_related_list.h"
#include "engine/edit_number.h"
#include "engine/harvest_controller.h"
#include "engine/harvest_texts.h"

namespace kelvaro {

namespace {
constexpr std::chrono::milliseconds kStopGrace{1};
}  // namespace

RunControl::RunControl(Window& window, HarvestState& state, PageFetcher fetchPage)
    : window_(window), state_(state), fetchPage_(std::move(fetchPage)) {}

void RunControl::OnStartStopClicked() {
  if (inStopPass_) {
    ++deferredClicks_;
    return;
  }
  HandleClick();
  while (deferredClicks_ > 0) {
    --deferredClicks_;
    HandleClick();
  }
}

void RunControl::HandleClick() {
  if (window_.ButtonCaption() == kStartCaption) {
    StartHarvest();
  } else {
    StopHarvest();
  }
}

void RunControl::StartHarvest() {
  window_.SetButtonCaption(std::string(kStopCaption));
  const int32_t maxLevel = ReadEditInteger(window_.EditText(EditId::Depth));
  state_.Tasks().Reset();
  // Taken as unsigned: a negative count is a huge one, which the pool limits.
  const auto workers =
      static_cast<uint32_t>(ReadEditInteger(window_.EditText(EditId::WorkerCount)));
  state_.Pool().Create(workers);

  std::shared_ptr<Harvest> harvest = state_.BeginHarvest(window_, fetchPage_, maxLevel);
  state_.Controller().Hold(harvest->serial);
  try {
    state_.StartThread([harvest] { HarvestController(harvest); });
  } catch (const std::system_error&) {
    // Nothing is seeded; the caption keeps saying "stop" until the next click.
    state_.Controller().Clear();
  }
}

void RunControl::StopHarvest() {
  AbortHarvest();
  window_.SetButtonCaption(std::string(kStartCaption));
  inStopPass_ = true;
  DedupeRelatedList(window_, state_.RelatedListPass(), true);
  inStopPass_ = false;
}

void RunControl::AbortHarvest() {
  if (std::shared_ptr<Harvest> harvest = state_.CurrentHarvest()) {
    // The list steps test the mark here on the window thread; the others test it
    // under their own locks, so once each lock has been passed through, no step
    // of this harvest is under way or still to come.
    state_.Controller().CancelAndRelease(harvest->mark);
    harvest->taskList->Fence();
    harvest->pendingTasks.Fence();
  }
  state_.Pool().Stop(kStopGrace);
}

}  // namespace kelvaro
