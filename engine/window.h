// The main window as the harvest and the list commands see it.
//
// The real Win32 window, the in-memory window of the tests and the command-line
// front end all implement this. Every operation may be called from any thread:
// when the caller is not the window thread, the implementation hands the operation
// to the window thread and waits until it is done (synchronous hand-over), so the
// caller sees its result and operations of different threads never overlap.
// Called on the window thread, an operation runs at once.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kelvaro {

enum class ListId { Keywords, RelatedKeywords };  // 列表框_关键字, 列表框_相关关键字
enum class EditId { WorkerCount, Depth };         // 编辑框_工作线程, 编辑框_采集级别
enum class FileDialogMode { Open, Save };

class Window {
 public:
  virtual ~Window() = default;

  // Runs `action` on the window thread and returns when it has run.
  virtual void Invoke(const std::function<void()>& action) = 0;
  virtual bool OnWindowThread() const = 0;
  // Window thread only: handles the waiting events (input, painting, hand-overs
  // from other threads) until none is left, then returns.
  virtual void ProcessEvents() = 0;

  // List boxes. Texts are CP936 bytes, kept exactly.
  virtual int ListCount(ListId list) = 0;
  // The empty text for a position outside 0 .. count-1.
  virtual std::string ListText(ListId list, int index) = 0;
  // The new item's 0-based position, or -1 when the list refuses it.
  virtual int ListAdd(ListId list, const std::string& text) = 0;
  virtual void ListClear(ListId list) = 0;

  virtual std::string EditText(EditId edit) = 0;
  // Raises the box's text-changed event exactly once, even for the same text.
  virtual void SetEditText(EditId edit, const std::string& text) = 0;

  virtual std::string ButtonCaption() = 0;  // 按钮_开始采集
  virtual void SetButtonCaption(const std::string& caption) = 0;

  virtual std::string StatusText() = 0;  // part 0 of 状态条1
  virtual void SetStatusText(const std::string& text) = 0;

  // 通用对话框1: shown modally in the given mode; true when the user confirmed a
  // file, whose full path FileDialogPath then gives (and the next showing offers).
  virtual bool ShowFileDialog(FileDialogMode mode) = 0;
  virtual std::filesystem::path FileDialogPath() = 0;

  // The modal text-input dialog: the entered text when confirmed, nothing when
  // cancelled.
  virtual std::optional<std::string> PromptForText(const std::string& prompt,
                                                   const std::string& title,
                                                   const std::string& initial) = 0;
};

}  // namespace kelvaro
