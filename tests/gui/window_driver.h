// Small helpers for driving real windows in tests: reading texts and rectangles,
// finding a thread's or a process's windows, and waiting on a condition while the
// window thread keeps handling its messages.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace kelvaro::test {

inline constexpr std::chrono::seconds kPatience{30};

inline std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

inline std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

inline RECT RectInClient(HWND parent, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

inline std::wstring ListBoxText(HWND list, int index) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return L"<none>";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

// Calls `test` until it holds, handling this thread's messages in between (sent ones
// too, so other threads' hand-overs to this window thread go through). False when
// `bound` passes first.
inline bool PumpUntil(const std::function<bool()>& test,
                      std::chrono::milliseconds bound = kPatience) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (test()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

// Calls `test` until it holds, from a thread that has no windows to look after.
inline bool WaitUntil(const std::function<bool()>& test,
                      std::chrono::milliseconds bound = kPatience) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!test()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// The first visible top-level window of `thread` whose class is `className`, or null.
inline HWND FindThreadWindow(DWORD thread, std::wstring_view className) {
  struct Search {
    std::wstring_view className;
    HWND found = nullptr;
  } search{className};
  EnumThreadWindows(
      thread,
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (!IsWindowVisible(window) || ClassOf(window) != s->className) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The first visible top-level window of process `process` whose class is `className`.
inline HWND FindProcessWindow(DWORD process, std::wstring_view className) {
  struct Search {
    DWORD process;
    std::wstring_view className;
    HWND found = nullptr;
  } search{process, className};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != s->process || !IsWindowVisible(window) || ClassOf(window) != s->className) {
          return TRUE;
        }
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline void PressKey(HWND window, WPARAM key) {
  PostMessageW(window, WM_KEYDOWN, key, 0);
  PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

}  // namespace kelvaro::test
