// A main window without a screen: the lists, boxes, caption and status text held in
// memory, with a window thread of its own.
//
// It behaves like the real window where the harvest and the list commands can
// tell: every operation runs on the window thread (handed over and waited for when
// called from elsewhere), ProcessEvents runs the hand-overs waiting at that moment,
// a text set in an edit box raises its text-changed event once, and a click runs
// the button's handler on the window thread. The two modal dialogs answer from
// scripts the owner sets. The tests and the command-line front end drive the
// engine through it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <filesystem>
#include <functional>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/window.h"

namespace kelvaro {

class MemoryWindow final : public Window {
 public:
  // What the file dialog answers: the confirmed file, or nothing for a cancel.
  // `offered` is the file name the dialog offers (the last one confirmed).
  using FileDialogScript = std::function<std::optional<std::filesystem::path>(
      FileDialogMode mode, const std::filesystem::path& offered)>;
  // What the text-input dialog answers: the entered text, or nothing for a cancel.
  using PromptScript = std::function<std::optional<std::string>(
      const std::string& prompt, const std::string& title, const std::string& initial)>;

  // Starts the window thread. Lists, boxes and status text are empty; the
  // caption is `caption`. Both dialogs cancel until scripted.
  explicit MemoryWindow(std::string caption = {});
  // Runs the hand-overs still waiting, then ends the window thread. Operations
  // called afterwards from other threads do nothing and give empty results.
  ~MemoryWindow() override;
  MemoryWindow(const MemoryWindow&) = delete;
  MemoryWindow& operator=(const MemoryWindow&) = delete;

  // Window
  void Invoke(const std::function<void()>& action) override;
  bool OnWindowThread() const override;
  void ProcessEvents() override;
  int ListCount(ListId list) override;
  std::string ListText(ListId list, int index) override;
  int ListAdd(ListId list, const std::string& text) override;
  void ListClear(ListId list) override;
  std::string EditText(EditId edit) override;
  void SetEditText(EditId edit, const std::string& text) override;
  std::string ButtonCaption() override;
  void SetButtonCaption(const std::string& caption) override;
  std::string StatusText() override;
  void SetStatusText(const std::string& text) override;
  bool ShowFileDialog(FileDialogMode mode) override;
  std::filesystem::path FileDialogPath() override;
  std::optional<std::string> PromptForText(const std::string& prompt, const std::string& title,
                                           const std::string& initial) override;

  // The owner's side; any thread.
  void SetButtonHandler(std::function<void()> handler);
  void SetEditChangedHandler(std::function<void(EditId)> handler);
  void SetFileDialogScript(FileDialogScript script);
  void SetPromptScript(PromptScript script);
  // ListAdd refuses items (gives -1) once the list holds `limit` items.
  void SetListLimit(ListId list, size_t limit);

  // Runs the button's handler on the window thread; returns when it has returned.
  void Click();
  std::vector<std::string> ListItems(ListId list);
  void SetListItems(ListId list, std::vector<std::string> items);
  FileDialogMode LastFileDialogMode();
  // How many times each edit box's text-changed event has been raised.
  int EditChangedCount(EditId edit);

  // Window thread: waits until a hand-over from another thread is waiting, or
  // `timeout` has passed; true when one waits.
  bool WaitForHandOver(std::chrono::milliseconds timeout);

  // Tests `predicate` on the window thread until it holds or `timeout` has
  // passed; it is tested again after every change of the window's contents and
  // at least every few milliseconds. Not for the window thread itself.
  bool WaitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout);

 private:
  struct HandOver {
    const std::function<void()>* action;
    bool done = false;
    std::exception_ptr error;
  };
  struct List {
    std::vector<std::string> items;
    size_t limit = std::numeric_limits<size_t>::max();
  };

  void RunWindowThread();
  // Window thread: runs one waiting hand-over; false when none waits.
  bool RunOneHandOver();
  void Changed();
  List& ListOf(ListId list) { return list == ListId::Keywords ? keywords_ : related_; }

  // Hand-over queue; the mutex guards the queue, the flags and the counters below.
  mutable std::mutex mutex_;
  std::condition_variable queued_;
  std::condition_variable handedBack_;
  std::condition_variable changed_;
  std::deque<HandOver*> queue_;
  bool closing_ = false;
  uint64_t changes_ = 0;
  std::thread::id windowThreadId_;
  std::thread thread_;

  // The window's contents: touched on the window thread only.
  List keywords_;
  List related_;
  std::string workerCountText_;
  std::string depthText_;
  int workerCountChanges_ = 0;
  int depthChanges_ = 0;
  std::string caption_;
  std::string statusText_;
  std::filesystem::path fileDialogPath_;
  FileDialogMode fileDialogMode_ = FileDialogMode::Open;
  std::function<void()> buttonHandler_;
  std::function<void(EditId)> editChanged_;
  FileDialogScript fileDialogScript_;
  PromptScript promptScript_;
};

}  // namespace kelvaro
