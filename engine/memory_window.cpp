// The in-memory main window; see memory_window.h.
#include "engine/memory_window.h"

#include <algorithm>

namespace kelvaro {

MemoryWindow::MemoryWindow(std::string caption) : caption_(std::move(caption)) {
  std::unique_lock lock(mutex_);
  thread_ = std::thread([this] { RunWindowThread(); });
  // The thread publishes its id first, so OnWindowThread is right from the start.
  queued_.wait(lock, [this] { return windowThreadId_ != std::thread::id(); });
}

MemoryWindow::~MemoryWindow() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  queued_.notify_all();
  thread_.join();
}

void MemoryWindow::RunWindowThread() {
  {
    std::lock_guard lock(mutex_);
    windowThreadId_ = std::this_thread::get_id();
  }
  queued_.notify_all();
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      queued_.wait(lock, [this] { return closing_ || !queue_.empty(); });
      // Closing waits for the queue to empty: no caller is left waiting.
      if (queue_.empty()) return;
    }
    RunOneHandOver();
  }
}

bool MemoryWindow::RunOneHandOver() {
  HandOver* handOver = nullptr;
  {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) return false;
    handOver = queue_.front();
    queue_.pop_front();
  }
  std::exception_ptr error;
  try {
    (*handOver->action)();
  } catch (...) {
    error = std::current_exception();
  }
  {
    std::lock_guard lock(mutex_);
    handOver->error = error;
    handOver->done = true;
  }
  handedBack_.notify_all();
  return true;
}

void MemoryWindow::Invoke(const std::function<void()>& action) {
  if (OnWindowThread()) {
    action();
    return;
  }
  HandOver handOver{&action};
  std::unique_lock lock(mutex_);
  if (closing_) return;
  queue_.push_back(&handOver);
  queued_.notify_all();
  handedBack_.wait(lock, [&] { return handOver.done; });
  if (handOver.error) std::rethrow_exception(handOver.error);
}

bool MemoryWindow::OnWindowThread() const {
  std::lock_guard lock(mutex_);
  return std::this_thread::get_id() == windowThreadId_;
}

void MemoryWindow::ProcessEvents() {
  if (!OnWindowThread()) return;  // hand-overs run on the window thread only
  while (RunOneHandOver()) {
  }
}

void MemoryWindow::Changed() {
  {
    std::lock_guard lock(mutex_);
    ++changes_;
  }
  changed_.notify_all();
}

int MemoryWindow::ListCount(ListId list) {
  int count = 0;
  Invoke([&] { count = static_cast<int>(ListOf(list).items.size()); });
  return count;
}

std::string MemoryWindow::ListText(ListId list, int index) {
  std::string text;
  Invoke([&] {
    const auto& items = ListOf(list).items;
    if (index >= 0 && static_cast<size_t>(index) < items.size()) text = items[index];
  });
  return text;
}

int MemoryWindow::ListAdd(ListId list, const std::string& text) {
  int position = -1;
  Invoke([&] {
    List& target = ListOf(list);
    if (target.items.size() >= target.limit) return;
    target.items.push_back(text);
    position = static_cast<int>(target.items.size() - 1);
    Changed();
  });
  return position;
}

void MemoryWindow::ListClear(ListId list) {
  Invoke([&] {
    ListOf(list).items.clear();
    Changed();
  });
}

std::string MemoryWindow::EditText(EditId edit) {
  std::string text;
  Invoke([&] { text = edit == EditId::WorkerCount ? workerCountText_ : depthText_; });
  return text;
}

void MemoryWindow::SetEditText(EditId edit, const std::string& text) {
  Invoke([&] {
    if (edit == EditId::WorkerCount) {
      workerCountText_ = text;
      ++workerCountChanges_;
    } else {
      depthText_ = text;
      ++depthChanges_;
    }
    Changed();
    if (editChanged_) editChanged_(edit);
  });
}

std::string MemoryWindow::ButtonCaption() {
  std::string caption;
  Invoke([&] { caption = caption_; });
  return caption;
}

void MemoryWindow::SetButtonCaption(const std::string& caption) {
  Invoke([&] {
    caption_ = caption;
    Changed();
  });
}

std::string MemoryWindow::StatusText() {
  std::string text;
  Invoke([&] { text = statusText_; });
  return text;
}

void MemoryWindow::SetStatusText(const std::string& text) {
  Invoke([&] {
    statusText_ = text;
    Changed();
  });
}

bool MemoryWindow::ShowFileDialog(FileDialogMode mode) {
  bool confirmed = false;
  Invoke([&] {
    fileDialogMode_ = mode;
    std::optional<std::filesystem::path> answer;
    if (fileDialogScript_) answer = fileDialogScript_(mode, fileDialogPath_);
    if (answer) {
      fileDialogPath_ = *answer;
      confirmed = true;
    }
  });
  return confirmed;
}

std::filesystem::path MemoryWindow::FileDialogPath() {
  std::filesystem::path path;
  Invoke([&] { path = fileDialogPath_; });
  return path;
}

std::optional<std::string> MemoryWindow::PromptForText(const std::string& prompt,
                                                       const std::string& title,
                                                       const std::string& initial) {
  std::optional<std::string> answer;
  Invoke([&] {
    if (promptScript_) answer = promptScript_(prompt, title, initial);
  });
  return answer;
}

void MemoryWindow::SetButtonHandler(std::function<void()> handler) {
  Invoke([&] { buttonHandler_ = std::move(handler); });
}

void MemoryWindow::SetEditChangedHandler(std::function<void(EditId)> handler) {
  Invoke([&] { editChanged_ = std::move(handler); });
}

void MemoryWindow::SetFileDialogScript(FileDialogScript script) {
  Invoke([&] { fileDialogScript_ = std::move(script); });
}

void MemoryWindow::SetPromptScript(PromptScript script) {
  Invoke([&] { promptScript_ = std::move(script); });
}

void MemoryWindow::SetListLimit(ListId list, size_t limit) {
  Invoke([&] { ListOf(list).limit = limit; });
}

void MemoryWindow::Click() {
  Invoke([&] {
    if (buttonHandler_) buttonHandler_();
  });
}

std::vector<std::string> MemoryWindow::ListItems(ListId list) {
  std::vector<std::string> items;
  Invoke([&] { items = ListOf(list).items; });
  return items;
}

void MemoryWindow::SetListItems(ListId list, std::vector<std::string> items) {
  Invoke([&] {
    ListOf(list).items = std::move(items);
    Changed();
  });
}

FileDialogMode MemoryWindow::LastFileDialogMode() {
  FileDialogMode mode = FileDialogMode::Open;
  Invoke([&] { mode = fileDialogMode_; });
  return mode;
}

int MemoryWindow::EditChangedCount(EditId edit) {
  int count = 0;
  Invoke([&] { count = edit == EditId::WorkerCount ? workerCountChanges_ : depthChanges_; });
  return count;
}

bool MemoryWindow::WaitForHandOver(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return queued_.wait_for(lock, timeout, [this] { return !queue_.empty(); });
}

bool MemoryWindow::WaitUntil(const std::function<bool()>& predicate,
                             std::chrono::milliseconds timeout) {
  constexpr std::chrono::milliseconds kRetest{5};
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    uint64_t seen;
    {
      std::lock_guard lock(mutex_);
      seen = changes_;
    }
    bool holds = false;
    Invoke([&] { holds = predicate(); });
    if (holds) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::min<std::chrono::steady_clock::duration>(kRetest, deadline - now),
                      [&] { return changes_ != seen; });
  }
}

}  // namespace kelvaro
