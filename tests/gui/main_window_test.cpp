// The real main window under Wine: its frame and layout, the controls' styles, the
// settings boxes' input rules and text-changed events, the lists' items, the hand-over
// from other threads, the keys, the pop-up menus and the file dialog.
#include "app/win32/main_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <commdlg.h>

#include <atomic>
#include <fstream>
#include <thread>
#include <vector>

#include "tests/gui/window_driver.h"
#include "tests/support/temp_dir.h"

namespace kelvaro {
namespace {

using test::ClassOf;
using test::FindThreadWindow;
using test::ListBoxText;
using test::PumpUntil;
using test::RectInClient;
using test::TextOf;
using test::WaitUntil;

const std::string kChinese = "\xD6\xD0\xCE\xC4";                                // 中文
const std::string kListCleared = "\xC1\xD0\xB1\xED\xD2\xD1\xC7\xE5\xBF\xD5..";  // 列表已清空..
const std::string kImportDone = "\xB5\xBC\xC8\xEB\xCD\xEA\xB3\xC9.";            // 导入完成.
const std::string kExportDone = "\xB5\xBC\xB3\xF6\xCD\xEA\xB3\xC9.";            // 导出完成.

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.SetEvents({
        .created = [this] { ++createdEvents; },
        .destroyed = [this] { ++destroyedEvents; },
        .startStopClicked = [this] { ++clicks; },
        .workerCountChanged =
            [this] { workerChanges.push_back(window.EditText(EditId::WorkerCount)); },
        .depthChanged = [this] { depthChanges.push_back(window.EditText(EditId::Depth)); },
    });
    ASSERT_TRUE(window.Create());
  }

  HWND Main() { return window.Handle(); }
  HWND Control(ControlId id) { return GetDlgItem(window.Handle(), static_cast<int>(id)); }

  MainWindow window;
  int createdEvents = 0;
  int destroyedEvents = 0;
  int clicks = 0;
  std::vector<std::string> workerChanges, depthChanges;
};

TEST_F(MainWindowTest, FrameIsFixedAndCentredOnTheScreen) {
  RECT frame{};
  GetWindowRect(Main(), &frame);
  EXPECT_EQ(frame.right - frame.left, 383);
  EXPECT_EQ(frame.bottom - frame.top, 439);
  EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - 383) / 2);
  EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - 439) / 2);

  const LONG_PTR style = GetWindowLongPtrW(Main(), GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_VISIBLE);
  EXPECT_FALSE(GetWindowLongPtrW(Main(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetMenu(Main()), nullptr);
  EXPECT_EQ(GetClassLongPtrW(Main(), GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
  EXPECT_EQ(TextOf(Main()), L"Kelvaro");
  EXPECT_EQ(createdEvents, 1);

  // Dragging the frame cannot change the size: there is no sizing border to hit.
  const LRESULT hit =
      SendMessageW(Main(), WM_NCHITTEST, 0, MAKELPARAM(frame.right - 1, frame.bottom - 1));
  EXPECT_NE(hit, HTBOTTOMRIGHT);
}

TEST_F(MainWindowTest, ControlsAsLaidOut) {
  struct Case {
    ControlId id;
    const wchar_t* windowClass;
    RECT rect;  // in the window's client area
    const wchar_t* text;
    bool tabStop;
  } cases[] = {
      {ControlId::KeywordGroup, L"Button", {8, 8, 184, 328}, L"\u5173\u952E\u5B57", false},
      {ControlId::KeywordList, L"ListBox", {16, 24, 176, 320}, L"", true},
      {ControlId::RelatedGroup,
       L"Button",
       {192, 8, 368, 328},
       L"\u76F8\u5173\u5173\u952E\u5B57",
       false},
      {ControlId::RelatedList, L"ListBox", {200, 24, 360, 320}, L"", true},
      {ControlId::SettingsGroup, L"Button", {8, 336, 368, 384}, L"\u5DE5\u4F5C\u8BBE\u7F6E", false},
      {ControlId::WorkerLabel, L"Static", {16, 352, 72, 376}, L"\u5DE5\u4F5C\u7EBF\u7A0B:", false},
      {ControlId::WorkerEdit, L"Edit", {72, 352, 128, 376}, L"", true},
      {ControlId::DepthLabel, L"Static", {136, 352, 192, 376}, L"\u91C7\u96C6\u7EA7\u522B:", false},
      {ControlId::DepthEdit, L"Edit", {192, 352, 248, 376}, L"", true},
      {ControlId::StartButton, L"Button", {256, 352, 360, 376}, L"\u5F00\u59CB\u91C7\u96C6", true},
  };
  const HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (const Case& c : cases) {
    HWND control = Control(c.id);
    ASSERT_NE(control, nullptr) << static_cast<int>(c.id);
    EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), c.windowClass), 0) << static_cast<int>(c.id);
    const RECT rect = RectInClient(Main(), control);
    EXPECT_EQ(rect.left, c.rect.left) << static_cast<int>(c.id);
    EXPECT_EQ(rect.top, c.rect.top) << static_cast<int>(c.id);
    EXPECT_EQ(rect.right, c.rect.right) << static_cast<int>(c.id);
    EXPECT_EQ(rect.bottom, c.rect.bottom) << static_cast<int>(c.id);
    EXPECT_EQ(TextOf(control), c.text) << static_cast<int>(c.id);
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    EXPECT_TRUE(style & WS_VISIBLE) << static_cast<int>(c.id);
    EXPECT_TRUE(IsWindowEnabled(control)) << static_cast<int>(c.id);
    EXPECT_EQ((style & WS_TABSTOP) != 0, c.tabStop) << static_cast<int>(c.id);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), guiFont)
        << static_cast<int>(c.id);
  }
  // The settings boxes are empty at creation; only LoadSettings fills them.
  EXPECT_TRUE(workerChanges.empty());
  EXPECT_TRUE(depthChanges.empty());
}

TEST_F(MainWindowTest, ListEditButtonAndStatusBarStyles) {
  const HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  // The row height a list box takes from the font by itself, for comparison.
  HWND plain = CreateWindowExW(0, L"ListBox", L"", WS_CHILD | LBS_HASSTRINGS, 0, 0, 50, 50, Main(),
                               nullptr, nullptr, nullptr);
  SendMessageW(plain, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont), FALSE);
  const LRESULT standardRow = SendMessageW(plain, LB_GETITEMHEIGHT, 0, 0);
  DestroyWindow(plain);

  for (ControlId id : {ControlId::KeywordList, ControlId::RelatedList}) {
    HWND list = Control(id);
    const LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
    for (LONG_PTR bit :
         {LBS_EXTENDEDSEL, LBS_NOTIFY, LBS_HASSTRINGS, LBS_NOINTEGRALHEIGHT, LBS_USETABSTOPS}) {
      EXPECT_EQ(style & bit, bit) << std::hex << bit;
    }
    // The scroll bar shows (and its style bit is set) once the items do not fit.
    EXPECT_FALSE(style & WS_VSCROLL);
    for (int i = 0; i < 40; ++i) {
      window.ListAdd(id == ControlId::KeywordList ? ListId::Keywords : ListId::RelatedKeywords, "");
    }
    EXPECT_TRUE(PumpUntil([&] { return (GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL) != 0; }));
    EXPECT_FALSE(style & LBS_SORT);
    EXPECT_FALSE(style & LBS_MULTIPLESEL);
    EXPECT_TRUE(GetWindowLongPtrW(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), standardRow + 1);
  }
  for (ControlId id : {ControlId::WorkerEdit, ControlId::DepthEdit}) {
    HWND edit = Control(id);
    const LONG_PTR style = GetWindowLongPtrW(edit, GWL_STYLE);
    EXPECT_TRUE(style & ES_CENTER);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    EXPECT_FALSE(style & (ES_MULTILINE | ES_NOHIDESEL | ES_NUMBER | ES_READONLY));
    EXPECT_TRUE(GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  }
  const LONG_PTR buttonStyle = GetWindowLongPtrW(Control(ControlId::StartButton), GWL_STYLE);
  EXPECT_EQ(buttonStyle & BS_TYPEMASK, BS_PUSHBUTTON);  // not the default button

  HWND bar = Control(ControlId::StatusBar);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(_wcsicmp(ClassOf(bar).c_str(), STATUSCLASSNAMEW), 0);
  EXPECT_FALSE(GetWindowLongPtrW(bar, GWL_STYLE) & SBARS_SIZEGRIP);
  EXPECT_FALSE(GetWindowLongPtrW(bar, GWL_STYLE) & WS_TABSTOP);
  int edges[4] = {};
  EXPECT_EQ(SendMessageW(bar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 1);
  EXPECT_EQ(edges[0], -1);
  RECT client{};
  GetClientRect(Main(), &client);
  const RECT barRect = RectInClient(Main(), bar);
  EXPECT_EQ(barRect.left, 0);
  EXPECT_EQ(barRect.right, client.right);
  EXPECT_EQ(barRect.bottom, client.bottom);
  EXPECT_GT(barRect.top, 384) << "the bar must not cover the settings group";
  EXPECT_EQ(window.StatusText(), "");
}

TEST_F(MainWindowTest, TabVisitsTheListsTheBoxesAndTheButton) {
  const ControlId order[] = {ControlId::KeywordList, ControlId::RelatedList,
                             ControlId::WorkerEdit,  ControlId::DepthEdit,
                             ControlId::StartButton, ControlId::KeywordList};
  SetFocus(Control(order[0]));
  ASSERT_EQ(GetFocus(), Control(order[0]));
  for (size_t i = 1; i < std::size(order); ++i) {
    test::PressKey(GetFocus(), VK_TAB);
    window.ProcessWaitingEvents();
    EXPECT_EQ(GetFocus(), Control(order[i])) << "step " << i;
  }
}

TEST_F(MainWindowTest, EscapeAndEnterDoNothing) {
  for (ControlId id : {ControlId::WorkerEdit, ControlId::KeywordList, ControlId::StartButton}) {
    SetFocus(Control(id));
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
      test::PressKey(Control(id), key);
      window.ProcessWaitingEvents();
      EXPECT_TRUE(IsWindowVisible(Main()));
      EXPECT_EQ(GetFocus(), Control(id)) << static_cast<int>(id) << " key " << key;
    }
  }
  EXPECT_EQ(destroyedEvents, 0);
  EXPECT_EQ(clicks, 0);
}

TEST_F(MainWindowTest, SettingsBoxesTakeDigitsAndMinusAndNormaliseOnLeaving) {
  struct Case {
    std::wstring typed;
    std::string shown, left;  // after typing; after the box loses the focus
  } cases[] = {
      {L"a1-b2", "1-2", "1"},
      {L"0", "0", ""},
      {L"007", "007", "7"},
      {L"-0", "-0", ""},
      {L"2147483648", "2147483648", "2147483647"},
      {L"-2147483649", "-2147483649", "-2147483648"},
      {L"99999999999999999999999", "99999999999999999999999", "2147483647"},
      {L"\uFF13 x+5.", "5", "5"},  // full-width 3, blank, letter, plus and point are dropped
      {L"12\b", "1", "1"},         // Backspace still works
      {L"", "", ""},
  };
  HWND edit = Control(ControlId::DepthEdit);
  for (const Case& c : cases) {
    window.SetEditText(EditId::Depth, "");
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);
    for (wchar_t character : c.typed) SendMessageW(edit, WM_CHAR, character, 1);
    EXPECT_EQ(window.EditText(EditId::Depth), c.shown) << c.shown;
    depthChanges.clear();
    SetFocus(Control(ControlId::StartButton));
    EXPECT_EQ(window.EditText(EditId::Depth), c.left) << c.shown;
    // Leaving raises the event once when the text changed and not at all otherwise.
    EXPECT_EQ(depthChanges.size(), c.left == c.shown ? 0u : 1u) << c.shown;
  }
}

TEST_F(MainWindowTest, TextChangedEventsOnceForEveryChange) {
  HWND edit = Control(ControlId::WorkerEdit);
  // A text set by the program raises the event once, also when it is the same text.
  window.SetEditText(EditId::WorkerCount, "20");
  window.SetEditText(EditId::WorkerCount, "20");
  window.SetEditText(EditId::WorkerCount, "");
  EXPECT_EQ(workerChanges, (std::vector<std::string>{"20", "20", ""}));

  // An empty box that loses the focus stays empty and raises nothing.
  workerChanges.clear();
  SetFocus(edit);
  SetFocus(Control(ControlId::StartButton));
  EXPECT_TRUE(workerChanges.empty());

  // Typing raises one event per change, with the text in place.
  SetFocus(edit);
  for (wchar_t character : std::wstring(L"30")) SendMessageW(edit, WM_CHAR, character, 1);
  SendMessageW(edit, WM_CHAR, L'\b', 1);
  EXPECT_EQ(workerChanges, (std::vector<std::string>{"3", "30", "3"}));
  EXPECT_TRUE(depthChanges.empty());
}

TEST_F(MainWindowTest, ListItemsKeepTheirBytes) {
  const std::string items[] = {kChinese, "", "a\tb", std::string("\x80\xFF", 2), " x "};
  for (size_t i = 0; i < std::size(items); ++i) {
    EXPECT_EQ(window.ListAdd(ListId::RelatedKeywords, items[i]), static_cast<int>(i));
  }
  HWND list = Control(ControlId::RelatedList);
  EXPECT_EQ(window.ListCount(ListId::RelatedKeywords), 5);
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 5);
  for (size_t i = 0; i < std::size(items); ++i) {
    EXPECT_EQ(window.ListText(ListId::RelatedKeywords, static_cast<int>(i)), items[i]) << i;
  }
  EXPECT_EQ(ListBoxText(list, 0), L"\u4E2D\u6587");
  EXPECT_EQ(ListBoxText(list, 1), L"");  // an empty row that counts as an item
  EXPECT_EQ(ListBoxText(list, 2), L"a\tb");
  EXPECT_EQ(window.ListText(ListId::RelatedKeywords, 5), "");
  EXPECT_EQ(window.ListText(ListId::RelatedKeywords, -1), "");
  EXPECT_EQ(window.ListCount(ListId::Keywords), 0);

  window.ListClear(ListId::RelatedKeywords);
  EXPECT_EQ(window.ListCount(ListId::RelatedKeywords), 0);
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(MainWindowTest, AddingItemsNeverScrolls) {
  HWND list = Control(ControlId::KeywordList);
  for (int i = 0; i < 100; ++i) window.ListAdd(ListId::Keywords, std::to_string(i));
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
  SendMessageW(list, LB_SETTOPINDEX, 40, 0);
  for (int i = 0; i < 100; ++i) window.ListAdd(ListId::Keywords, std::to_string(i));
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 40);
}

TEST_F(MainWindowTest, OtherThreadsHandTheirOperationsOver) {
  std::atomic<bool> done{false};
  bool onWindowThreadThere = true;
  std::vector<int> positions;
  std::string captionThere, statusThere;
  bool rethrown = false;
  std::thread worker([&] {
    onWindowThreadThere = window.OnWindowThread();
    for (int i = 0; i < 50; ++i)
      positions.push_back(window.ListAdd(ListId::RelatedKeywords, kChinese));
    window.SetButtonCaption("stop");
    captionThere = window.ButtonCaption();
    window.SetStatusText(kChinese);
    statusThere = window.StatusText();
    try {
      window.Invoke([] { throw std::runtime_error("inside"); });
    } catch (const std::runtime_error&) {
      rethrown = true;
    }
    done = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
  worker.join();
  EXPECT_TRUE(window.OnWindowThread());
  EXPECT_FALSE(onWindowThreadThere);
  ASSERT_EQ(positions.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(positions[static_cast<size_t>(i)], i);
  EXPECT_EQ(SendMessageW(Control(ControlId::RelatedList), LB_GETCOUNT, 0, 0), 50);
  EXPECT_EQ(captionThere, "stop");
  EXPECT_EQ(TextOf(Control(ControlId::StartButton)), L"stop");
  EXPECT_EQ(statusThere, kChinese);
  EXPECT_TRUE(rethrown);
}

TEST_F(MainWindowTest, HandOversRunInsideModalLoopsAndEndWithTheWindow) {
  // A message box's own loop runs the hand-overs that wait meanwhile.
  std::atomic<int> position{-2};
  std::thread worker([&] {
    HWND box = nullptr;
    WaitUntil([&] {
      return (box = FindThreadWindow(GetWindowThreadProcessId(Main(), nullptr), L"#32770")) !=
             nullptr;
    });
    position = window.ListAdd(ListId::Keywords, kChinese);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  MessageBoxW(Main(), L"modal", L"modal", MB_OK);
  worker.join();
  EXPECT_EQ(position, 0);

  // A thread still waiting when the window goes returns, its operation not run. Its
  // wake in the queue shows that it waits.
  bool ran = false;
  std::thread late([&] { window.Invoke([&] { ran = true; }); });
  MSG wake;
  EXPECT_TRUE(
      WaitUntil([&] { return PeekMessageW(&wake, Main(), WM_APP + 1, WM_APP + 1, PM_NOREMOVE); }));
  DestroyWindow(Main());
  late.join();
  EXPECT_FALSE(ran);
  window.Invoke([&] { ran = true; });  // on the window thread, an operation still runs
  EXPECT_TRUE(ran);
}

// A right-button press on a list while another thread works the pop-up menu: where it
// shows, what it holds, and the item chosen with the keyboard.
struct MenuSeen {
  RECT rect{};
  POINT pointer{};                  // where the pointer was when the menu showed
  std::vector<std::wstring> items;  // "-" for a separator
};

MenuSeen PressRightButtonAndChoose(MainWindow& window, HWND list, const std::vector<WPARAM>& keys) {
  RECT listRect{};
  GetWindowRect(list, &listRect);
  const POINT pointer{listRect.left + 20, listRect.top + 30};
  SetCursorPos(pointer.x, pointer.y);
  WaitUntil([&] {
    POINT at{};
    GetCursorPos(&at);
    return at.x == pointer.x && at.y == pointer.y;
  });

  MenuSeen seen;
  std::atomic<bool> done{false};
  const DWORD windowThread = GetCurrentThreadId();
  std::thread driver([&] {
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = FindThreadWindow(windowThread, L"#32768")) != nullptr; });
    if (menu) {
      GetWindowRect(menu, &seen.rect);
      GetCursorPos(&seen.pointer);
      HMENU handle = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
      for (int i = 0; i < GetMenuItemCount(handle); ++i) {
        wchar_t text[64] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 64;
        GetMenuItemInfoW(handle, static_cast<UINT>(i), TRUE, &info);
        seen.items.push_back(info.fType & MFT_SEPARATOR ? L"-" : text);
      }
      for (WPARAM key : keys) test::PressKey(menu, key);
    }
    done = true;
  });
  const LPARAM at = MAKELPARAM(20, 30);
  PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, at);
  PostMessageW(list, WM_RBUTTONUP, 0, at);
  PumpUntil([&] { return done.load() && !FindThreadWindow(windowThread, L"#32768"); });
  driver.join();
  window.ProcessWaitingEvents();  // the chosen item's command
  return seen;
}

TEST_F(MainWindowTest, ListMenusShowAtThePointerAndRunTheirCommands) {
  window.ListAdd(ListId::Keywords, "a");
  window.ListAdd(ListId::RelatedKeywords, "b");
  window.SetStatusText("before");

  // Escape closes the menu without a command.
  MenuSeen related =
      PressRightButtonAndChoose(window, Control(ControlId::RelatedList), {VK_ESCAPE, VK_ESCAPE});
  EXPECT_EQ(related.rect.left, related.pointer.x + 3);
  EXPECT_EQ(related.rect.top, related.pointer.y + 3);
  EXPECT_EQ(related.items,
            (std::vector<std::wstring>{L"\u5BFC\u51FA", L"-", L"\u6E05\u7A7A"}));  // 导出 清空
  EXPECT_EQ(window.ListCount(ListId::RelatedKeywords), 1);

  // The last item, 清空, of each menu.
  PressRightButtonAndChoose(window, Control(ControlId::RelatedList), {VK_UP, VK_RETURN});
  EXPECT_EQ(window.ListCount(ListId::RelatedKeywords), 0);
  EXPECT_EQ(window.StatusText(), "before");

  MenuSeen keywords =
      PressRightButtonAndChoose(window, Control(ControlId::KeywordList), {VK_UP, VK_RETURN});
  EXPECT_EQ(keywords.rect.left, keywords.pointer.x + 3);
  EXPECT_EQ(keywords.rect.top, keywords.pointer.y + 3);
  EXPECT_EQ(keywords.items, (std::vector<std::wstring>{L"\u6DFB\u52A0", L"\u5BFC\u5165", L"-",
                                                       L"\u6E05\u7A7A"}));  // 添加 导入 清空
  EXPECT_EQ(window.ListCount(ListId::Keywords), 0);
  EXPECT_EQ(window.StatusText(), kListCleared);
}

TEST_F(MainWindowTest, AddFromTheMenuTakesTheTypedTextExactly) {
  const DWORD windowThread = GetCurrentThreadId();
  std::thread typist([&] {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindThreadWindow(windowThread, L"#32770")) != nullptr; });
    if (!dialog) return;
    SetWindowTextW(GetDlgItem(dialog, 1000), L"  \u4E2D\u6587 ");
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  });
  PressRightButtonAndChoose(window, Control(ControlId::KeywordList), {VK_DOWN, VK_RETURN});
  EXPECT_TRUE(PumpUntil([&] { return window.ListCount(ListId::Keywords) == 1; }));
  typist.join();
  EXPECT_EQ(window.ListText(ListId::Keywords, 0), "  " + kChinese + " ");
}

// The file dialog's name box: a combo box's edit in the system's dialogs, or an edit.
HWND FileNameBox(HWND dialog) {
  if (HWND combo = GetDlgItem(dialog, 0x47C)) return combo;  // cmb13
  return GetDlgItem(dialog, 0x480);                          // edt1
}

// Answers the next file dialog of `thread` with `path`, noting the name it offered.
std::thread AnswerFileDialog(DWORD thread, std::wstring answer, std::wstring& offered) {
  return std::thread([thread, answer, &offered] {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindThreadWindow(thread, L"#32770")) != nullptr; });
    if (!dialog) return;
    HWND name = nullptr;
    WaitUntil([&] { return (name = FileNameBox(dialog)) != nullptr; });
    // The dialog opens in the offered file's folder and shows its name.
    std::wstring path(MAX_PATH * 4, L'\0');
    const LRESULT length =
        SendMessageW(dialog, CDM_GETFILEPATH, path.size(), reinterpret_cast<LPARAM>(path.data()));
    path.resize(length > 0 && TextOf(name).size() > 0 ? static_cast<size_t>(length) - 1 : 0);
    offered = path;
    SetWindowTextW(name, answer.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  });
}

TEST_F(MainWindowTest, FileDialogOffersTheLastConfirmedFileInEitherMode) {
  test::TempDir dir;
  const std::filesystem::path keywords = dir.Path() / std::filesystem::path(u8"关键字.txt");
  test::WriteBytes(keywords, "a\r\n" + kChinese + "\r\n");
  const DWORD windowThread = GetCurrentThreadId();

  std::wstring offered = L"<not shown>";
  std::thread answer = AnswerFileDialog(windowThread, keywords.wstring(), offered);
  PressRightButtonAndChoose(window, Control(ControlId::KeywordList), {VK_DOWN, VK_DOWN, VK_RETURN});
  EXPECT_TRUE(PumpUntil([&] { return window.StatusText() == kImportDone; }));
  answer.join();
  EXPECT_EQ(offered, L"");  // nothing confirmed yet
  EXPECT_EQ(window.FileDialogPath(), keywords);
  EXPECT_EQ(window.ListCount(ListId::Keywords), 2);
  EXPECT_EQ(window.ListText(ListId::Keywords, 1), kChinese);

  // The export offers the file just imported; a name without extension gets ".txt".
  window.ListAdd(ListId::RelatedKeywords, "x");
  const std::filesystem::path exported = dir.Path() / std::filesystem::path(u8"导出");
  answer = AnswerFileDialog(windowThread, exported.wstring(), offered);
  PressRightButtonAndChoose(window, Control(ControlId::RelatedList), {VK_DOWN, VK_RETURN});
  EXPECT_TRUE(PumpUntil([&] { return window.StatusText() == kExportDone; }));
  answer.join();
  EXPECT_EQ(offered, keywords.wstring());
  std::filesystem::path withExtension = exported;
  withExtension += ".txt";
  EXPECT_EQ(window.FileDialogPath(), withExtension);
  EXPECT_EQ(test::ReadBytes(withExtension), "x\r\n");

  // And the next import offers the exported file.
  answer = AnswerFileDialog(windowThread, withExtension.wstring(), offered);
  window.SetStatusText("");
  PressRightButtonAndChoose(window, Control(ControlId::KeywordList), {VK_DOWN, VK_DOWN, VK_RETURN});
  EXPECT_TRUE(PumpUntil([&] { return window.StatusText() == kImportDone; }));
  answer.join();
  EXPECT_EQ(offered, withExtension.wstring());
}

TEST(FileDialogSettings, FilterAndOptions) {
  const std::wstring filter = FileDialog::FilterText();
  // With the string's own terminator, two NULs end the list.
  EXPECT_EQ(filter, std::wstring(L"TXT\u6587\u4EF6\0*.txt\0\u6240\u6709\u6587\u4EF6\0*.*\0", 21));
  const DWORD open = FileDialog::Flags(FileDialogMode::Open);
  const DWORD save = FileDialog::Flags(FileDialogMode::Save);
  EXPECT_EQ(open & (OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY),
            static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY));
  EXPECT_FALSE(open & OFN_OVERWRITEPROMPT);
  EXPECT_EQ(save & (OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY),
            static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY));
  EXPECT_FALSE(save & OFN_FILEMUSTEXIST);
}

}  // namespace
}  // namespace kelvaro
