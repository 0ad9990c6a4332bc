// The program's one window: the seed and related keyword lists, the two settings boxes,
// the start/stop button and the status bar, as the Win32 implementation of Window.
//
// The window holds no logic of the program: its events go to the handlers it is given
// (MainWindowEvents), and its pop-up menus' items to the list commands. Texts are CP936
// inside the program and UTF-16 on the screen; every control is driven through the W
// functions with an explicit conversion, so Chinese shows on any Windows whatever its
// own language.
//
// Each list's items are kept as bytes in a model beside the list box: a text need not
// survive the trip to UTF-16 and back (a keyword file may hold bytes that are not CP936),
// so the model, not the list box, answers for counts and texts.
//
// Other threads reach the window through Invoke (see hand_over.h): the operation runs on
// the window thread while the caller waits, so operations of different threads never
// overlap and the caller sees their results.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/win32/file_dialog.h"
#include "app/win32/hand_over.h"
#include "engine/window.h"

namespace kelvaro {

// Every control's and every menu item's identifier. None is IDOK or IDCANCEL, which
// the dialog keys Enter and Escape send to the window and the window ignores.
enum class ControlId : int {
  KeywordGroup = 100,    // 分组框1
  KeywordList,           // 列表框_关键字
  RelatedGroup,          // 分组框2
  RelatedList,           // 列表框_相关关键字
  SettingsGroup,         // 分组框3
  WorkerLabel,           // 标签1
  WorkerEdit,            // 编辑框_工作线程
  DepthLabel,            // 标签2
  DepthEdit,             // 编辑框_采集级别
  StartButton,           // 按钮_开始采集
  StatusBar,             // 状态条1
  AddKeywordItem = 200,  // 关键字菜单: 添加
  ImportKeywordsItem,    // 关键字菜单: 导入
  ClearKeywordsItem,     // 关键字菜单: 清空
  ExportRelatedItem,     // 相关关键字菜单: 导出
  ClearRelatedItem,      // 相关关键字菜单: 清空
};

// The handlers of the window's events. Each runs on the window thread; any may be empty.
struct MainWindowEvents {
  std::function<void()> created;             // all controls exist (LoadSettings)
  std::function<void()> destroyed;           // the window will be destroyed (shutdown)
  std::function<void()> startStopClicked;    // 按钮_开始采集 clicked
  std::function<void()> workerCountChanged;  // text of 编辑框_工作线程 changed
  std::function<void()> depthChanged;        // text of 编辑框_采集级别 changed
};

class MainWindow final : public Window {
 public:
  static constexpr int kOuterWidth = 383;
  static constexpr int kOuterHeight = 439;
  static constexpr size_t kControlCount = 11;  // ControlId::KeywordGroup .. StatusBar

  // The window thread is the thread that constructs the object.
  MainWindow();
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // The handlers; set before Create.
  void SetEvents(MainWindowEvents events) { events_ = std::move(events); }

  // Creates the window and its controls centred on the primary screen, raises the
  // created event, then shows the window. False when the window could not be created.
  bool Create();
  HWND Handle() const { return hwnd_.load(); }

  // From now on no event reaches its handler (the process is ending).
  void SilenceEvents() { silenced_ = true; }

  // Hands one message of the window thread's queue on: keyboard navigation of the
  // window's controls with Tab (Escape and Enter do nothing), everything else to its
  // window. The message loop and ProcessEvents both use it.
  void DispatchQueuedMessage(MSG& message);

  // The pop-up menu of a list at the pointer, 3 pixels right and down; returns when it
  // has closed. A chosen item's command reaches the window afterwards.
  void ShowListMenu(ListId list);

  // Window
  void Invoke(const std::function<void()>& action) override;
  bool OnWindowThread() const override;
  // At most one look at the queue a millisecond; see ProcessWaitingEvents.
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

  // Handles the events waiting now, without ProcessEvents' pacing.
  void ProcessWaitingEvents();

 private:
  static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProcedure(HWND control, UINT message, WPARAM wParam,
                                           LPARAM lParam);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleControlMessage(HWND control, ControlId id, WNDPROC original, UINT message,
                               WPARAM wParam, LPARAM lParam);
  void OnCreate();
  void OnCommand(int id, int notification);
  void OnDestroy();
  void OnHandOverWake();
  bool OnEditChar(wchar_t character);
  void OnEditLostFocus(EditId edit);
  void RaiseEditChanged(EditId edit);
  void Raise(const std::function<void()>& handler);
  // Turns a list box's redrawing off until the refresh timer turns it back on.
  void DeferRedraw(ListId list);
  void RefreshLists();

  // Runs `operation` on the window thread and gives its result.
  template <typename Operation>
  auto OnWindowThreadDo(Operation operation) -> decltype(operation());

  HWND Control(ControlId id) const;
  HWND ListBox(ListId list) const;
  HWND EditBox(EditId edit) const;
  std::vector<std::string>& Items(ListId list);

  std::atomic<HWND> hwnd_{nullptr};
  std::array<HWND, kControlCount> controls_{};              // by ControlId; null once destroyed
  std::array<WNDPROC, kControlCount> controlProcedures_{};  // the subclassed controls' own
  DWORD threadId_;
  MainWindowEvents events_;
  bool silenced_ = false;
  // Set while the program writes an edit box's text: that change raises the event
  // once, from SetEditText, however many change notifications the box sends.
  bool settingEditText_ = false;
  std::array<std::vector<std::string>, 2> listItems_;  // by ListId
  std::array<bool, 2> listRedrawDeferred_{};           // by ListId
  FileDialog fileDialog_;
  HandOver handOver_;
  std::chrono::steady_clock::time_point lastBusyRepaint_{};
  std::chrono::steady_clock::time_point lastEventCheck_{};
};

}  // namespace kelvaro
