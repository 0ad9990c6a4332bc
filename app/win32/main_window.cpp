#include "app/win32/main_window.h"

#include <commctrl.h>

#include <chrono>
#include <string_view>
#include <type_traits>

#include "app/product.h"
#include "app/win32/prompt_dialog.h"
#include "app/win32/wide_text.h"
#include "engine/edit_number.h"
#include "engine/harvest_texts.h"
#include "lists/list_commands.h"
#include "platform/unique_handle.h"

namespace kelvaro {
namespace {

constexpr wchar_t kWindowClass[] = L"KelvaroMainWindow";
constexpr UINT kHandOverMessage = WM_APP + 1;  // wParam: the wake's number
// A list box redraws itself and its scroll bar after every item it takes, which under
// Wine costs milliseconds per item; while items come in, redrawing is off and turned back
// on by this timer, so a list repaints a few times a second however fast it grows.
constexpr UINT_PTR kListRefreshTimer = 1;
constexpr UINT kListRefreshMilliseconds = 40;
// One wake serves the hand-overs that keep coming for this long. While other threads hand
// over without pause, the window still repaints every kBusyRepaintInterval, and when
// input waits, the next round of hand-overs comes by kHandOverTimer, after the input.
constexpr auto kHandOverTurn = std::chrono::milliseconds(5);
constexpr auto kBusyRepaintInterval = std::chrono::milliseconds(40);
constexpr auto kEventCheckInterval = std::chrono::milliseconds(1);
constexpr UINT_PTR kHandOverTimer = 2;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

constexpr DWORD kGroupStyle = WS_CHILD | WS_VISIBLE | BS_GROUPBOX;
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
                             LBS_EXTENDEDSEL | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT |
                             LBS_USETABSTOPS;
constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE;
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

// The controls in creation order, which is also the Tab order: the seed list, the related
// list, the worker count, the depth, the button. Every control is a child of the window;
// the positions are in its client area, so each group box frames its controls.
struct ControlLayout {
  ControlId id;
  const wchar_t* windowClass;
  DWORD style;
  DWORD extendedStyle;
  int x, y, width, height;
  std::string_view text;  // CP936
};

constexpr ControlLayout kLayout[] = {
    {ControlId::KeywordGroup, WC_BUTTONW, kGroupStyle, 0, 8, 8, 176, 320,
     "\xB9\xD8\xBC\xFC\xD7\xD6"},  // 关键字
    {ControlId::KeywordList, WC_LISTBOXW, kListStyle, WS_EX_CLIENTEDGE, 16, 24, 160, 296, ""},
    {ControlId::RelatedGroup, WC_BUTTONW, kGroupStyle, 0, 192, 8, 176, 320,
     "\xCF\xE0\xB9\xD8\xB9\xD8\xBC\xFC\xD7\xD6"},  // 相关关键字
    {ControlId::RelatedList, WC_LISTBOXW, kListStyle, WS_EX_CLIENTEDGE, 200, 24, 160, 296, ""},
    {ControlId::SettingsGroup, WC_BUTTONW, kGroupStyle, 0, 8, 336, 360, 48,
     "\xB9\xA4\xD7\xF7\xC9\xE8\xD6\xC3"},  // 工作设置
    {ControlId::WorkerLabel, WC_STATICW, kLabelStyle, 0, 16, 352, 56, 24,
     "\xB9\xA4\xD7\xF7\xCF\xDF\xB3\xCC:"},  // 工作线程:
    {ControlId::WorkerEdit, WC_EDITW, kEditStyle, WS_EX_CLIENTEDGE, 72, 352, 56, 24, ""},
    {ControlId::DepthLabel, WC_STATICW, kLabelStyle, 0, 136, 352, 56, 24,
     "\xB2\xC9\xBC\xAF\xBC\xB6\xB1\xF0:"},  // 采集级别:
    {ControlId::DepthEdit, WC_EDITW, kEditStyle, WS_EX_CLIENTEDGE, 192, 352, 56, 24, ""},
    {ControlId::StartButton, WC_BUTTONW, kButtonStyle, 0, 256, 352, 104, 24, kStartCaption},
};

constexpr size_t ControlIndex(ControlId id) {
  return static_cast<size_t>(id) - static_cast<size_t>(ControlId::KeywordGroup);
}

// The two hidden menus, shown only as pop-ups. A zero id is a separator.
struct MenuItem {
  ControlId id;
  std::string_view text;  // CP936
};
constexpr ControlId kSeparator{0};
constexpr MenuItem kKeywordMenu[] = {
    {ControlId::AddKeywordItem, "\xCC\xED\xBC\xD3"},      // 添加
    {ControlId::ImportKeywordsItem, "\xB5\xBC\xC8\xEB"},  // 导入
    {kSeparator, ""},
    {ControlId::ClearKeywordsItem, "\xC7\xE5\xBF\xD5"},  // 清空
};
constexpr MenuItem kRelatedMenu[] = {
    {ControlId::ExportRelatedItem, "\xB5\xBC\xB3\xF6"},  // 导出
    {kSeparator, ""},
    {ControlId::ClearRelatedItem, "\xC7\xE5\xBF\xD5"},  // 清空
};

struct MenuTraits {
  using Handle = HMENU;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle menu) { DestroyMenu(menu); }
};
using UniqueMenu = UniqueHandle<MenuTraits>;

HFONT GuiFont() {
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool IsAcceptedEditCharacter(wchar_t character) {
  const bool control = character < 0x20 || character == 0x7F;
  return control || character == L'-' || (character >= L'0' && character <= L'9');
}

}  // namespace

static_assert(ControlIndex(ControlId::StatusBar) + 1 == MainWindow::kControlCount);

MainWindow::MainWindow() : threadId_(GetCurrentThreadId()) {}

MainWindow::~MainWindow() {
  if (HWND hwnd = hwnd_.load()) {
    silenced_ = true;  // taking the window down here is no shutdown of the program
    DestroyWindow(hwnd);
  }
}

bool MainWindow::Create() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterWindowClass(instance, &MainWindow::WindowProcedure)) return false;

  const int left = (GetSystemMetrics(SM_CXSCREEN) - kOuterWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kOuterHeight) / 2;
  const std::wstring caption = ToWide(kProductName);
  if (!CreateWindowExW(0, kWindowClass, caption.c_str(), kWindowStyle, left, top, kOuterWidth,
                       kOuterHeight, nullptr, nullptr, instance, this)) {
    return false;
  }
  Raise(events_.created);
  ShowWindow(hwnd_.load(), SW_SHOWNORMAL);
  UpdateWindow(hwnd_.load());
  return true;
}

LRESULT CALLBACK MainWindow::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_.store(hwnd);
    self->handOver_.Open(hwnd, kHandOverMessage);
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->handOver_.Close();
    self->hwnd_.store(nullptr);
    self->controls_.fill(nullptr);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND hwnd = hwnd_.load();
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_SIZE:
      // The status bar places itself along the bottom edge when told of a new size.
      SendMessageW(Control(ControlId::StatusBar), WM_SIZE, 0, 0);
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kListRefreshTimer) RefreshLists();
      if (wParam == kHandOverTimer) {
        KillTimer(hwnd, kHandOverTimer);
        OnHandOverWake();
      }
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case kHandOverMessage:
      OnHandOverWake();
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

void MainWindow::OnCreate() {
  const HWND hwnd = hwnd_.load();
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const ControlLayout& layout : kLayout) {
    const std::wstring text = ToWide(layout.text);
    HWND control = CreateWindowExW(layout.extendedStyle, layout.windowClass, text.c_str(),
                                   layout.style, layout.x, layout.y, layout.width, layout.height,
                                   hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
                                   instance, nullptr);
    controls_[ControlIndex(layout.id)] = control;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
  }
  for (ControlId list : {ControlId::KeywordList, ControlId::RelatedList}) {
    // One pixel more than the row height the list takes from its font.
    HWND box = Control(list);
    const LRESULT rowHeight = SendMessageW(box, LB_GETITEMHEIGHT, 0, 0);
    SendMessageW(box, LB_SETITEMHEIGHT, 0, rowHeight + 1);
  }
  // Subclassed by replacing the window procedure rather than through the common controls'
  // subclass chain, which under Wine looks its data up in the window's properties, a
  // round trip to the server for every message.
  for (ControlId id : {ControlId::KeywordList, ControlId::RelatedList, ControlId::WorkerEdit,
                       ControlId::DepthEdit}) {
    HWND control = Control(id);
    SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    controlProcedures_[ControlIndex(id)] = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::ControlProcedure)));
  }

  // No size grip: the window's size is fixed. One part spanning the whole bar.
  HWND statusBar = CreateWindowExW(
      0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId::StatusBar)), instance, nullptr);
  controls_[ControlIndex(ControlId::StatusBar)] = statusBar;
  SendMessageW(statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
  int partEdges[] = {-1};
  SendMessageW(statusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(partEdges));
  SendMessageW(statusBar, WM_SIZE, 0, 0);
}

void MainWindow::OnCommand(int id, int notification) {
  switch (static_cast<ControlId>(id)) {
    case ControlId::StartButton:
      if (notification == BN_CLICKED) Raise(events_.startStopClicked);
      break;
    case ControlId::WorkerEdit:
      if (notification == EN_CHANGE && !settingEditText_) RaiseEditChanged(EditId::WorkerCount);
      break;
    case ControlId::DepthEdit:
      if (notification == EN_CHANGE && !settingEditText_) RaiseEditChanged(EditId::Depth);
      break;
    case ControlId::AddKeywordItem:
      Raise([this] { AddKeyword(*this); });
      break;
    case ControlId::ImportKeywordsItem:
      Raise([this] { ImportKeywords(*this); });
      break;
    case ControlId::ClearKeywordsItem:
      Raise([this] { ClearKeywords(*this); });
      break;
    case ControlId::ExportRelatedItem:
      Raise([this] { ExportRelatedKeywords(*this); });
      break;
    case ControlId::ClearRelatedItem:
      Raise([this] { ClearRelatedKeywords(*this); });
      break;
    default:
      break;  // IDOK and IDCANCEL from Enter and Escape among them: nothing happens
  }
}

void MainWindow::OnDestroy() {
  Raise(events_.destroyed);
}

void MainWindow::OnHandOverWake() {
  // The threads just served often hand over again at once: they are served in the same
  // turn, for a short while, rather than each through the message queue. Yielding lets
  // them run now when the process has one processor.
  const auto start = std::chrono::steady_clock::now();
  auto now = start;
  for (;;) {
    const size_t ran = handOver_.RunQueued();
    now = std::chrono::steady_clock::now();
    if (ran == 0 || now - start >= kHandOverTurn) break;
    SwitchToThread();
  }
  const bool more = !handOver_.FinishWake();
  const HWND hwnd = hwnd_.load();
  if (!hwnd) return;  // an operation took the window down
  // Hand-overs, posted, come before painting and input in the queue: while other threads
  // keep handing over, the window still repaints now and then, and waiting input goes
  // before the next round.
  if (now - lastBusyRepaint_ >= kBusyRepaintInterval) {
    lastBusyRepaint_ = now;
    RefreshLists();
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  if (!more) return;
  if (HIWORD(GetQueueStatus(QS_INPUT)) != 0) {
    SetTimer(hwnd, kHandOverTimer, USER_TIMER_MINIMUM, nullptr);
  } else {
    handOver_.Wake();
  }
}

LRESULT CALLBACK MainWindow::ControlProcedure(HWND control, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(control, GWLP_USERDATA));
  const auto id = static_cast<ControlId>(GetWindowLongPtrW(control, GWLP_ID));
  const WNDPROC original = self->controlProcedures_[ControlIndex(id)];
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    return CallWindowProcW(original, control, message, wParam, lParam);
  }
  return self->HandleControlMessage(control, id, original, message, wParam, lParam);
}

LRESULT MainWindow::HandleControlMessage(HWND control, ControlId id, WNDPROC original, UINT message,
                                         WPARAM wParam, LPARAM lParam) {
  const bool isList = id == ControlId::KeywordList || id == ControlId::RelatedList;
  if (isList && message == WM_RBUTTONDOWN) {
    ShowListMenu(id == ControlId::KeywordList ? ListId::Keywords : ListId::RelatedKeywords);
  } else if (!isList && message == WM_CHAR) {
    if (!OnEditChar(static_cast<wchar_t>(wParam))) return 0;
  } else if (!isList && message == WM_KILLFOCUS) {
    const LRESULT result = CallWindowProcW(original, control, message, wParam, lParam);
    OnEditLostFocus(id == ControlId::WorkerEdit ? EditId::WorkerCount : EditId::Depth);
    return result;
  }
  return CallWindowProcW(original, control, message, wParam, lParam);
}

bool MainWindow::OnEditChar(wchar_t character) {
  return IsAcceptedEditCharacter(character);
}

void MainWindow::OnEditLostFocus(EditId edit) {
  if (silenced_ || !EditBox(edit)) return;
  const std::string text = EditText(edit);
  const std::string normalised = NormaliseEditText(text);
  if (normalised != text) SetEditText(edit, normalised);
}

void MainWindow::RaiseEditChanged(EditId edit) {
  Raise(edit == EditId::WorkerCount ? events_.workerCountChanged : events_.depthChanged);
}

void MainWindow::Raise(const std::function<void()>& handler) {
  if (!silenced_ && handler) handler();
}

void MainWindow::ShowListMenu(ListId list) {
  POINT at{};
  GetCursorPos(&at);
  at.x += 3;
  at.y += 3;
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return;
  auto fill = [&](const auto& items) {
    for (const MenuItem& item : items) {
      if (item.id == kSeparator) {
        AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
      } else {
        AppendMenuW(menu.Get(), MF_STRING, static_cast<UINT_PTR>(item.id),
                    ToWide(item.text).c_str());
      }
    }
  };
  if (list == ListId::Keywords) {
    fill(kKeywordMenu);
  } else {
    fill(kRelatedMenu);
  }
  TrackPopupMenu(menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0,
                 hwnd_.load(), nullptr);
}

void MainWindow::DispatchQueuedMessage(MSG& message) {
  const HWND hwnd = hwnd_.load();
  if (hwnd && IsDialogMessageW(hwnd, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

template <typename Operation>
auto MainWindow::OnWindowThreadDo(Operation operation) -> decltype(operation()) {
  using Result = decltype(operation());
  if (OnWindowThread()) return operation();
  if constexpr (std::is_void_v<Result>) {
    Invoke([&] { operation(); });
  } else {
    Result result{};
    Invoke([&] { result = operation(); });
    return result;
  }
}

void MainWindow::Invoke(const std::function<void()>& action) {
  if (OnWindowThread()) {
    action();
    return;
  }
  // Without a window (not yet, or no longer) there is nothing to act on.
  handOver_.Run(action);
}

bool MainWindow::OnWindowThread() const {
  return GetCurrentThreadId() == threadId_;
}

void MainWindow::ProcessEvents() {
  if (!OnWindowThread()) return;
  // Long loops call this after every element, and even asking whether anything waits
  // is a round trip to the window server (under Wine 40 to 80 us, more than the element
  // itself). Looking at most once a millisecond keeps the window just as responsive and
  // a 100,000-line pass from taking seconds in event checks alone.
  const auto now = std::chrono::steady_clock::now();
  if (now - lastEventCheck_ < kEventCheckInterval) return;
  lastEventCheck_ = now;
  ProcessWaitingEvents();
}

void MainWindow::ProcessWaitingEvents() {
  if (!OnWindowThread()) return;
  if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0) return;
  // Hand-overs queued after this point wait for the next call: with threads that hand
  // over without pause, the queue would otherwise never be empty.
  const WPARAM laterWakes = handOver_.NextWakeNumber();
  MSG message;
  // Looking first, without taking, leaves a request to quit in the queue for the
  // message loop.
  while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    if (message.message == WM_QUIT) return;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return;
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    const bool laterWake = message.message == kHandOverMessage && message.hwnd == hwnd_.load() &&
                           message.wParam >= laterWakes;
    DispatchQueuedMessage(message);
    if (laterWake) return;
  }
}

HWND MainWindow::Control(ControlId id) const {
  return controls_[ControlIndex(id)];
}

HWND MainWindow::ListBox(ListId list) const {
  return Control(list == ListId::Keywords ? ControlId::KeywordList : ControlId::RelatedList);
}

HWND MainWindow::EditBox(EditId edit) const {
  return Control(edit == EditId::WorkerCount ? ControlId::WorkerEdit : ControlId::DepthEdit);
}

std::vector<std::string>& MainWindow::Items(ListId list) {
  return listItems_[list == ListId::Keywords ? 0 : 1];
}

int MainWindow::ListCount(ListId list) {
  return OnWindowThreadDo([&] { return static_cast<int>(Items(list).size()); });
}

std::string MainWindow::ListText(ListId list, int index) {
  return OnWindowThreadDo([&] {
    const std::vector<std::string>& items = Items(list);
    if (index < 0 || static_cast<size_t>(index) >= items.size()) return std::string();
    return items[static_cast<size_t>(index)];
  });
}

int MainWindow::ListAdd(ListId list, const std::string& text) {
  return OnWindowThreadDo([&] {
    HWND box = ListBox(list);
    if (!box) return -1;
    const std::wstring wide = ToWide(text);
    DeferRedraw(list);
    const LRESULT index =
        SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    if (index == LB_ERR || index == LB_ERRSPACE) return -1;
    try {
      Items(list).push_back(text);
    } catch (const std::bad_alloc&) {
      SendMessageW(box, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
      return -1;
    }
    return static_cast<int>(index);
  });
}

void MainWindow::DeferRedraw(ListId list) {
  bool& deferred = listRedrawDeferred_[list == ListId::Keywords ? 0 : 1];
  if (deferred) return;
  deferred = true;
  SendMessageW(ListBox(list), WM_SETREDRAW, FALSE, 0);
  SetTimer(hwnd_.load(), kListRefreshTimer, kListRefreshMilliseconds, nullptr);
}

void MainWindow::RefreshLists() {
  KillTimer(hwnd_.load(), kListRefreshTimer);
  for (ListId list : {ListId::Keywords, ListId::RelatedKeywords}) {
    bool& deferred = listRedrawDeferred_[list == ListId::Keywords ? 0 : 1];
    if (!deferred) continue;
    deferred = false;
    HWND box = ListBox(list);
    SendMessageW(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
  }
}

void MainWindow::ListClear(ListId list) {
  OnWindowThreadDo([&] {
    if (HWND box = ListBox(list)) SendMessageW(box, LB_RESETCONTENT, 0, 0);
    Items(list).clear();
  });
}

std::string MainWindow::EditText(EditId edit) {
  return OnWindowThreadDo([&] {
    HWND box = EditBox(edit);
    if (!box) return std::string();
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
    return FromWide(text);
  });
}

void MainWindow::SetEditText(EditId edit, const std::string& text) {
  OnWindowThreadDo([&] {
    HWND box = EditBox(edit);
    if (!box) return;
    const std::wstring wide = ToWide(text);
    const bool wasSetting = settingEditText_;
    settingEditText_ = true;
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    settingEditText_ = wasSetting;
    RaiseEditChanged(edit);
  });
}

std::string MainWindow::ButtonCaption() {
  return OnWindowThreadDo([&] {
    HWND button = Control(ControlId::StartButton);
    if (!button) return std::string();
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(button)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(button, text.data(), static_cast<int>(text.size()))));
    return FromWide(text);
  });
}

void MainWindow::SetButtonCaption(const std::string& caption) {
  OnWindowThreadDo([&] {
    if (HWND button = Control(ControlId::StartButton)) {
      SetWindowTextW(button, ToWide(caption).c_str());
    }
  });
}

std::string MainWindow::StatusText() {
  return OnWindowThreadDo([&] {
    HWND bar = Control(ControlId::StatusBar);
    if (!bar) return std::string();
    const size_t length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, 0, 0));
    std::wstring text(length + 1, L'\0');
    SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return FromWide(text);
  });
}

void MainWindow::SetStatusText(const std::string& text) {
  OnWindowThreadDo([&] {
    if (HWND bar = Control(ControlId::StatusBar)) {
      SendMessageW(bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(ToWide(text).c_str()));
    }
  });
}

bool MainWindow::ShowFileDialog(FileDialogMode mode) {
  return OnWindowThreadDo([&] { return fileDialog_.Show(hwnd_.load(), mode); });
}

std::filesystem::path MainWindow::FileDialogPath() {
  return OnWindowThreadDo([&] { return fileDialog_.Path(); });
}

std::optional<std::string> MainWindow::PromptForText(const std::string& prompt,
                                                     const std::string& title,
                                                     const std::string& initial) {
  return OnWindowThreadDo([&] { return ShowPromptDialog(hwnd_.load(), prompt, title, initial); });
}

}  // namespace kelvaro
