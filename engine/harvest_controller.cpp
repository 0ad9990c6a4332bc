// The harvest controller; see harvest_controller.h.
#include "engine/harvest_controller.h"

#include <optional>
#include <string>

#include "engine/dedupe_related_list.h"
#include "engine/harvest_texts.h"
#include "engine/search_task.h"

namespace kelvaro {
namespace {

// Runs `action` on the window thread unless the harvest has been called off by
// then (tested there, where a stop runs too). False when it has.
template <typename Action>
bool InvokeUnlessCalledOff(Harvest& h, Action action) {
  bool done = false;
  h.window.Invoke([&] {
    if (h.mark.IsSet()) return;
    action();
    done = true;
  });
  return done;
}

// Shows that the harvest runs, seeds it and waits until no task is outstanding.
// False when the harvest was called off on the way.
bool SeedAndWait(const std::shared_ptr<Harvest>& harvest) {
  Harvest& h = *harvest;
  if (!InvokeUnlessCalledOff(h, [&] { h.window.SetStatusText(std::string(kHarvestingStatus)); })) {
    return false;
  }
  int seeds = 0;
  if (!InvokeUnlessCalledOff(h, [&] { seeds = h.window.ListCount(ListId::Keywords); })) {
    return false;
  }
  for (int i = 0; i < seeds; ++i) {
    std::string keyword;
    // A seed removed meanwhile reads as the empty text and is seeded as such.
    if (!InvokeUnlessCalledOff(h, [&] { keyword = h.window.ListText(ListId::Keywords, i); })) {
      return false;
    }
    const std::optional<int32_t> index = h.taskList->Append({std::move(keyword), 1}, h.mark);
    if (!index || !SubmitSearchTask(harvest, *index)) return false;
    if (h.mark.SleepFor(kSubmitSpacing)) return false;
  }
  while (h.pendingTasks.Read() > 0) {
    if (h.mark.SleepFor(kPendingPollInterval)) return false;
  }
  return !h.mark.IsSet();
}

}  // namespace

void HarvestController(const std::shared_ptr<Harvest>& harvest) {
  Harvest& h = *harvest;
  if (!SeedAndWait(harvest)) return;
  if (!h.controllerThread->ReleaseByController(h.serial, h.mark)) return;

  // No longer called off from here: the harvest has ended and is reported.
  Window& window = h.window;
  const int found = window.ListCount(ListId::RelatedKeywords);
  DedupeRelatedList(window, *h.relatedListPass, false);
  window.SetButtonCaption(std::string(kStartCaption));
  const int kept = window.ListCount(ListId::RelatedKeywords);
  window.SetStatusText(HarvestSummary(found, kept));
}

}  // namespace kelvaro
