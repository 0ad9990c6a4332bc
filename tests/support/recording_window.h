// A window that passes every operation on to another and keeps a record of what
// happened to the related list: the items it held whenever it was cleared (the
// list just before a de-duplication pass) and whether two passes ever overlapped.
//
// A pass clears the list and then adds back one item per distinct text; a clear
// that comes before the previous pass has added all of its items means that two
// passes interleaved.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "engine/window.h"

namespace kelvaro::test {

class RecordingWindow final : public Window {
 public:
  explicit RecordingWindow(Window& inner) : inner_(inner) {}

  // The related list's items at its latest clear.
  std::vector<std::string> ItemsAtLastClear();
  int RelatedClears();
  bool PassesInterleaved();
  bool WaitForRelatedClears(int count, std::chrono::milliseconds timeout);
  // Runs before every ProcessEvents (window thread).
  void SetBeforeProcessEvents(std::function<void()> hook);
  // Runs before the related list is counted from a thread other than the window
  // thread (the controller, once it has stopped waiting).
  void SetBeforeRelatedCountElsewhere(std::function<void()> hook);

  void Invoke(const std::function<void()>& action) override { inner_.Invoke(action); }
  bool OnWindowThread() const override { return inner_.OnWindowThread(); }
  void ProcessEvents() override;
  int ListCount(ListId list) override;
  std::string ListText(ListId list, int index) override { return inner_.ListText(list, index); }
  int ListAdd(ListId list, const std::string& text) override;
  void ListClear(ListId list) override;
  std::string EditText(EditId edit) override { return inner_.EditText(edit); }
  void SetEditText(EditId edit, const std::string& text) override {
    inner_.SetEditText(edit, text);
  }
  std::string ButtonCaption() override { return inner_.ButtonCaption(); }
  void SetButtonCaption(const std::string& caption) override { inner_.SetButtonCaption(caption); }
  std::string StatusText() override { return inner_.StatusText(); }
  void SetStatusText(const std::string& text) override { inner_.SetStatusText(text); }
  bool ShowFileDialog(FileDialogMode mode) override { return inner_.ShowFileDialog(mode); }
  std::filesystem::path FileDialogPath() override { return inner_.FileDialogPath(); }
  std::optional<std::string> PromptForText(const std::string& prompt, const std::string& title,
                                           const std::string& initial) override {
    return inner_.PromptForText(prompt, title, initial);
  }

 private:
  Window& inner_;
  std::mutex mutex_;  // guards the record below
  std::vector<std::string> itemsAtLastClear_;
  int clears_ = 0;
  size_t passAddsOwed_ = 0;
  bool interleaved_ = false;
  std::function<void()> beforeProcessEvents_;
  std::function<void()> beforeRelatedCountElsewhere_;
  std::condition_variable cleared_;
};

}  // namespace kelvaro::test
