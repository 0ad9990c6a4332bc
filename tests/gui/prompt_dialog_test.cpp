// The text-input dialog, shown for real and driven from a second thread the way a
// user would: its layout, the keys that confirm and cancel, and the typed text coming
// back exactly, blanks and Chinese included.
#include "app/win32/prompt_dialog.h"
#include "tests/gui/window_driver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace kelvaro {
namespace {

const std::string kTitle = "\xC7\xEB\xCA\xE4\xC8\xEB\xB9\xD8\xBC\xFC\xD7\xD6:";  // 请输入关键字:
const std::string kPrompt = "\xCC\xE1\xCA\xBE prompt";                           // 提示 prompt

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The dialog that `thread` shows, once it is visible; null when none comes.
HWND WaitForDialog(DWORD thread) {
  HWND found = nullptr;
  test::WaitUntil([&] { return (found = test::FindThreadWindow(thread, L"#32770")) != nullptr; },
                  std::chrono::seconds(20));
  return found;
}

// Shows the dialog on this thread while `drive` works it from another; the dialog is
// closed after `drive` in any case, so a failed step cannot leave the test hanging.
std::optional<std::string> ShowDriven(const std::string& initial,
                                      const std::function<void(HWND dialog, HWND edit)>& drive) {
  const DWORD me = GetCurrentThreadId();
  std::thread driver([&] {
    HWND dialog = WaitForDialog(me);
    if (!dialog) return;
    drive(dialog, GetDlgItem(dialog, 1000));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (IsWindow(dialog) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  std::optional<std::string> result = ShowPromptDialog(nullptr, kPrompt, kTitle, initial);
  driver.join();
  return result;
}

void Type(HWND edit, std::wstring_view text) {
  for (wchar_t c : text) PostMessageW(edit, WM_CHAR, c, 0);
}

void PressKey(HWND window, WPARAM key) {
  PostMessageW(window, WM_KEYDOWN, key, 0);
  PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

void PressAlt(HWND window, wchar_t letter) {
  PostMessageW(window, WM_SYSCHAR, letter, 1 << 29);  // bit 29: Alt is down
}

// Where the dialog manager puts a control given in dialog units: it converts the
// position and the size each on its own, so rounding never moves the far edge.
RECT DialogUnits(HWND dialog, int x, int y, int cx, int cy) {
  RECT position{x, y, cx, cy};
  MapDialogRect(dialog, &position);
  return {position.left, position.top, position.left + position.right,
          position.top + position.bottom};
}

RECT RectInClient(HWND dialog, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(PromptDialog, LayoutAndInitialState) {
  struct Seen {
    std::wstring caption, prompt, ok, cancel, edit, fontFace;
    DWORD selStart = 99, selEnd = 99;
    bool editHasFocus = false;
    LRESULT defaultId = 0;
    LONG fontHeight = 0;
    int expectedFontHeight = 0;
    std::vector<std::pair<RECT, RECT>> rects;  // actual, expected
  } seen;
  const auto result = ShowDriven("\xD6\xD0 a", [&](HWND dialog, HWND edit) {  // 中 a
    seen.caption = TextOf(dialog);
    seen.prompt = TextOf(GetDlgItem(dialog, 1001));
    seen.ok = TextOf(GetDlgItem(dialog, IDOK));
    seen.cancel = TextOf(GetDlgItem(dialog, IDCANCEL));
    seen.edit = TextOf(edit);
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&seen.selStart),
                 reinterpret_cast<LPARAM>(&seen.selEnd));
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    seen.editHasFocus = info.hwndFocus == edit;
    seen.defaultId = SendMessageW(dialog, DM_GETDEFID, 0, 0);

    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    seen.fontFace = font.lfFaceName;
    seen.fontHeight = font.lfHeight;
    HDC screen = GetDC(nullptr);
    seen.expectedFontHeight = -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);

    RECT client{};
    GetClientRect(dialog, &client);
    seen.rects.push_back({client, DialogUnits(dialog, 0, 0, 252, 92)});
    const struct {
      int id, x, y, cx, cy;
    } controls[] = {{1002, 7, 7, 238, 35},
                    {1001, 12, 11, 229, 27},
                    {1000, 7, 45, 238, 12},
                    {IDOK, 63, 66, 55, 19},
                    {IDCANCEL, 134, 66, 55, 19}};
    for (const auto& c : controls) {
      seen.rects.push_back({RectInClient(dialog, GetDlgItem(dialog, c.id)),
                            DialogUnits(dialog, c.x, c.y, c.cx, c.cy)});
    }
    PressKey(edit, VK_ESCAPE);
  });
  EXPECT_EQ(result, std::nullopt);
  EXPECT_EQ(seen.caption, L"\u8BF7\u8F93\u5165\u5173\u952E\u5B57:");  // 请输入关键字:
  EXPECT_EQ(seen.prompt, L"\u63D0\u793A prompt");                     // 提示 prompt
  EXPECT_EQ(seen.ok, L"\u786E\u8BA4\u8F93\u5165(&O)");                // 确认输入(&O)
  EXPECT_EQ(seen.cancel, L"\u53D6\u6D88(&C)");                        // 取消(&C)
  EXPECT_EQ(seen.edit, L"\u4E2D a");
  EXPECT_EQ(seen.selStart, 0u);
  EXPECT_EQ(seen.selEnd, 3u);
  EXPECT_TRUE(seen.editHasFocus);
  EXPECT_EQ(seen.defaultId, MAKELRESULT(IDOK, DC_HASDEFID));
  EXPECT_EQ(seen.fontFace, L"\u5B8B\u4F53");  // 宋体
  EXPECT_EQ(seen.fontHeight, seen.expectedFontHeight);
  for (size_t i = 0; i < seen.rects.size(); ++i) {
    EXPECT_TRUE(seen.rects[i].first == seen.rects[i].second) << "rectangle " << i;
  }
}

// Typing replaces the selected initial text; the answer is the edit box's text as it
// stands, kept exactly.
TEST(PromptDialog, KeysConfirmAndCancel) {
  struct Case {
    const char* what;
    std::string initial;
    std::function<void(HWND dialog, HWND edit)> drive;
    std::optional<std::string> expected;
  } cases[] = {
      {"typed text and Enter", "old",
       [](HWND, HWND edit) {
         Type(edit, L"  \u4E2D\u6587 x ");  // 中文
         PressKey(edit, VK_RETURN);
       },
       "  \xD6\xD0\xCE\xC4 x "},
      {"empty text and Enter", "old",
       [](HWND, HWND edit) {
         Type(edit, L"\b");
         PressKey(edit, VK_RETURN);
       },
       ""},
      {"initial text and Alt+O", " keep ", [](HWND, HWND edit) { PressAlt(edit, L'o'); }, " keep "},
      {"confirm button", "",
       [](HWND dialog, HWND) {
         SetWindowTextW(GetDlgItem(dialog, 1000), L"set");
         PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
       },
       "set"},
      {"Escape", "x", [](HWND, HWND edit) { PressKey(edit, VK_ESCAPE); }, std::nullopt},
      {"Alt+C", "x", [](HWND, HWND edit) { PressAlt(edit, L'c'); }, std::nullopt},
      {"cancel button", "x",
       [](HWND dialog, HWND) { PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); },
       std::nullopt},
      {"close box", "x",
       [](HWND dialog, HWND) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShowDriven(c.initial, c.drive), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace kelvaro
