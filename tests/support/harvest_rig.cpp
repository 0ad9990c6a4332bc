// The harvest rig; see harvest_rig.h.
#include "tests/support/harvest_rig.h"

#include "engine/harvest_texts.h"

namespace kelvaro::test {

void PrintTo(const HarvestSnapshot& snapshot, std::ostream* out) {
  *out << "{related: " << snapshot.related.size() << " items [";
  for (const std::string& text : snapshot.related) *out << " \"" << text << '"';
  *out << " ], tasks: " << snapshot.tasks << ", pendingTasks: " << snapshot.pendingTasks
       << ", queued: " << snapshot.queuedItems << ", caption: \"" << snapshot.caption
       << "\", status: \"" << snapshot.status << "\"}";
}

HarvestRig::HarvestRig(PageFetcher fetchPage, ThreadStarter starter)
    : window(std::string(kStartCaption)),
      state(std::move(starter)),
      runControl(recorder, state, std::move(fetchPage)) {
  window.SetButtonHandler([this] { runControl.OnStartStopClicked(); });
}

HarvestRig::~HarvestRig() {
  window.Invoke([this] { runControl.AbortHarvest(); });
  state.WaitUntilQuiet(std::chrono::seconds(60));
  window.SetButtonHandler({});
}

void HarvestRig::Set(const std::vector<std::string>& seeds, const std::string& depth,
                     const std::string& workers) {
  window.SetListItems(ListId::Keywords, seeds);
  window.SetEditText(EditId::Depth, depth);
  window.SetEditText(EditId::WorkerCount, workers);
}

void HarvestRig::Start() {
  window.SetStatusText("");
  window.Invoke([this] {
    if (window.ButtonCaption() == kStartCaption) runControl.OnStartStopClicked();
  });
}

bool HarvestRig::WaitForSummary(std::chrono::milliseconds timeout) {
  const std::string prefix = HarvestSummary(0, 0).substr(0, HarvestSummary(0, 0).find('('));
  return window.WaitUntil(
      [&] {
        return window.ButtonCaption() == kStartCaption && window.StatusText().starts_with(prefix);
      },
      timeout);
}

HarvestSnapshot HarvestRig::Snapshot() {
  HarvestSnapshot snapshot;
  // On the window thread, where a stop runs: one consistent moment.
  window.Invoke([&] {
    snapshot.related = window.ListItems(ListId::RelatedKeywords);
    snapshot.tasks = state.Tasks().Size();
    snapshot.pendingTasks = state.PendingTasks();
    snapshot.queuedItems = state.Pool().QueuedItems();
    snapshot.caption = window.ButtonCaption();
    snapshot.status = window.StatusText();
  });
  return snapshot;
}

}  // namespace kelvaro::test
