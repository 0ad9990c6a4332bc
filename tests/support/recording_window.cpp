// The recording window; see recording_window.h.
#include "tests/support/recording_window.h"

#include <set>

namespace kelvaro::test {

std::vector<std::string> RecordingWindow::ItemsAtLastClear() {
  std::lock_guard lock(mutex_);
  return itemsAtLastClear_;
}

int RecordingWindow::RelatedClears() {
  std::lock_guard lock(mutex_);
  return clears_;
}

bool RecordingWindow::PassesInterleaved() {
  std::lock_guard lock(mutex_);
  return interleaved_;
}

bool RecordingWindow::WaitForRelatedClears(int count, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return cleared_.wait_for(lock, timeout, [&] { return clears_ >= count; });
}

void RecordingWindow::SetBeforeRelatedCountElsewhere(std::function<void()> hook) {
  std::lock_guard lock(mutex_);
  beforeRelatedCountElsewhere_ = std::move(hook);
}

int RecordingWindow::ListCount(ListId list) {
  if (list == ListId::RelatedKeywords && !inner_.OnWindowThread()) {
    std::function<void()> hook;
    {
      std::lock_guard lock(mutex_);
      hook = beforeRelatedCountElsewhere_;
    }
    if (hook) hook();
  }
  return inner_.ListCount(list);
}

void RecordingWindow::SetBeforeProcessEvents(std::function<void()> hook) {
  std::lock_guard lock(mutex_);
  beforeProcessEvents_ = std::move(hook);
}

void RecordingWindow::ProcessEvents() {
  std::function<void()> hook;
  {
    std::lock_guard lock(mutex_);
    hook = beforeProcessEvents_;
  }
  if (hook) hook();
  inner_.ProcessEvents();
}

int RecordingWindow::ListAdd(ListId list, const std::string& text) {
  const int position = inner_.ListAdd(list, text);
  if (list == ListId::RelatedKeywords) {
    std::lock_guard lock(mutex_);
    if (passAddsOwed_ > 0) --passAddsOwed_;
  }
  return position;
}

void RecordingWindow::ListClear(ListId list) {
  if (list != ListId::RelatedKeywords) {
    inner_.ListClear(list);
    return;
  }
  // Read and cleared in one hand-over, so nothing comes between.
  std::vector<std::string> items;
  inner_.Invoke([&] {
    const int count = inner_.ListCount(list);
    for (int i = 0; i < count; ++i) items.push_back(inner_.ListText(list, i));
    inner_.ListClear(list);
  });
  std::lock_guard lock(mutex_);
  if (passAddsOwed_ > 0) interleaved_ = true;
  passAddsOwed_ = std::set<std::string>(items.begin(), items.end()).size();
  itemsAtLastClear_ = std::move(items);
  ++clears_;
  cleared_.notify_all();
}

}  // namespace kelvaro::test
