// The text-input dialog, built from an in-memory dialog template so that it needs no
// resource script and its layout (in dialog units, "宋体" 9 pt) is all in this file.
// Texts cross to the screen as UTF-16 converted from CP936 explicitly, so the dialog
// shows the right Chinese whatever the system's code page.
#include "app/win32/prompt_dialog.h"

#include <string_view>
#include <vector>

#include "app/win32/wide_text.h"

namespace kelvaro {
namespace {

enum ControlId : WORD {
  kEditId = 1000,
  kPromptId = 1001,
  kFrameId = 1002,
};

// The predefined window classes, as the ordinals a dialog template names them by.
enum ClassAtom : WORD { kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082 };

constexpr std::wstring_view kFontName = L"\u5B8B\u4F53";  // 宋体
constexpr WORD kFontPoints = 9;

// A DLGTEMPLATE followed by its DLGITEMTEMPLATEs, laid out as the dialog manager reads
// them: WORD-sized fields, strings as NUL-terminated UTF-16, every item DWORD-aligned.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, short cx, short cy, std::wstring_view title) {
    AddDword(style | DS_SETFONT);
    AddDword(0);  // extended style
    itemCountAt_ = words_.size();
    words_.push_back(0);  // item count, set as items are added
    AddRect(0, 0, cx, cy);
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    AddString(title);
    words_.push_back(kFontPoints);
    AddString(kFontName);
  }

  void AddItem(ClassAtom atom, DWORD style, short x, short y, short cx, short cy, WORD id,
               std::wstring_view text = {}) {
    if (words_.size() % 2) words_.push_back(0);  // DWORD alignment
    AddDword(WS_CHILD | WS_VISIBLE | style);
    AddDword(0);  // extended style
    AddRect(x, y, cx, cy);
    words_.push_back(id);
    words_.push_back(0xFFFF);
    words_.push_back(atom);
    AddString(text);
    words_.push_back(0);  // no creation data
    ++words_[itemCountAt_];
  }

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void AddDword(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void AddRect(short x, short y, short cx, short cy) {
    for (short value : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(value));
  }
  void AddString(std::wstring_view text) {
    words_.insert(words_.end(), text.begin(), text.end());
    words_.push_back(0);
  }

  std::vector<WORD> words_;  // vector storage is suitably aligned for the template
  size_t itemCountAt_ = 0;
};

DialogTemplate BuildTemplate(const std::wstring& title, const std::wstring& prompt) {
  DialogTemplate dialog(DS_MODALFRAME | DS_CENTER | WS_CAPTION | WS_SYSMENU | WS_POPUP, 252, 92,
                        title);
  // The prompt comes before its frame: earlier items lie above later ones, and the
  // frame, clipped by its siblings, then never paints over the text.
  dialog.AddItem(kStatic, SS_LEFT | SS_NOPREFIX, 12, 11, 229, 27, kPromptId, prompt);
  dialog.AddItem(kStatic, SS_SUNKEN | WS_CLIPSIBLINGS, 7, 7, 238, 35, kFrameId);
  dialog.AddItem(kEdit, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, 7, 45, 238,
                 12, kEditId);
  dialog.AddItem(kButton, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 63, 66, 55, 19, IDOK,
                 L"\u786E\u8BA4\u8F93\u5165(&O)");  // 确认输入(&O)
  dialog.AddItem(kButton, BS_PUSHBUTTON | WS_TABSTOP, 134, 66, 55, 19, IDCANCEL,
                 L"\u53D6\u6D88(&C)");  // 取消(&C)
  return dialog;
}

struct PromptState {
  std::wstring initial;
  std::string entered;
};

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

INT_PTR CALLBACK PromptDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      const auto* state = reinterpret_cast<const PromptState*>(lParam);
      HWND edit = GetDlgItem(dialog, kEditId);
      SetWindowTextW(edit, state->initial.c_str());
      SendMessageW(edit, EM_SETSEL, 0, -1);
      SetFocus(edit);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      // The dialog manager turns Enter and Alt+O into IDOK, and Escape, Alt+C and the
      // close box into IDCANCEL.
      if (LOWORD(wParam) == IDOK) {
        auto* state = reinterpret_cast<PromptState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        state->entered = FromWide(WindowText(GetDlgItem(dialog, kEditId)));
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

std::optional<std::string> ShowPromptDialog(HWND owner, const std::string& prompt,
                                            const std::string& title, const std::string& initial) {
  const DialogTemplate dialog = BuildTemplate(ToWide(title), ToWide(prompt));
  PromptState state{ToWide(initial), {}};
  const INT_PTR result =
      DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), owner, PromptDialogProc,
                              reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return std::nullopt;
  return state.entered;
}

}  // namespace kelvaro
