// A window for the shell's tests: the settings boxes hold texts and raise their
// text-changed event exactly once for every text the program sets, like the real
// window; the rest keeps what it is given.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/window.h"

namespace kelvaro::test {

class SettingsWindow : public Window {
 public:
  std::map<EditId, std::string> edits;
  std::map<EditId, std::function<void()>> onEditChanged;
  std::map<ListId, std::vector<std::string>> lists;
  std::string caption, status;

  void Invoke(const std::function<void()>& action) override { action(); }
  bool OnWindowThread() const override { return true; }
  void ProcessEvents() override {}
  int ListCount(ListId list) override { return static_cast<int>(lists[list].size()); }
  std::string ListText(ListId list, int index) override {
    const auto& items = lists[list];
    return index >= 0 && index < static_cast<int>(items.size()) ? items[index] : "";
  }
  int ListAdd(ListId list, const std::string& text) override {
    lists[list].push_back(text);
    return ListCount(list) - 1;
  }
  void ListClear(ListId list) override { lists[list].clear(); }
  std::string EditText(EditId edit) override { return edits[edit]; }
  void SetEditText(EditId edit, const std::string& text) override {
    edits[edit] = text;
    if (onEditChanged[edit]) onEditChanged[edit]();
  }
  std::string ButtonCaption() override { return caption; }
  void SetButtonCaption(const std::string& text) override { caption = text; }
  std::string StatusText() override { return status; }
  void SetStatusText(const std::string& text) override { status = text; }
  bool ShowFileDialog(FileDialogMode) override { return false; }
  std::filesystem::path FileDialogPath() override { return {}; }
  std::optional<std::string> PromptForText(const std::string&, const std::string&,
                                           const std::string&) override {
    return std::nullopt;
  }
};

}  // namespace kelvaro::test
