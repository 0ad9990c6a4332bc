// The commands of the lists' pop-up menus, over the abstract window so that the
// Win32 window, the in-memory window of the tests and other front ends share them.
// The file commands let the window process its events after every line or item, so
// the window stays painted and usable through a long file.
#include "lists/list_commands.h"

#include <string>

#include "lists/keyword_file.h"
#include "platform/file_io.h"

namespace kelvaro {
namespace {

const std::string kPrompt = "\xC7\xEB\xCA\xE4\xC8\xEB\xB9\xD8\xBC\xFC\xD7\xD6:";  // 请输入关键字:
const std::string kListCleared = "\xC1\xD0\xB1\xED\xD2\xD1\xC7\xE5\xBF\xD5..";  // 列表已清空..
const std::string kImportDone = "\xB5\xBC\xC8\xEB\xCD\xEA\xB3\xC9.";            // 导入完成.
const std::string kExportDone = "\xB5\xBC\xB3\xF6\xCD\xEA\xB3\xC9.";            // 导出完成.

}  // namespace

void AddKeyword(Window& window) {
  const std::optional<std::string> keyword = window.PromptForText(kPrompt, kPrompt, "");
  if (keyword) window.ListAdd(ListId::Keywords, *keyword);
}

void ClearKeywords(Window& window) {
  window.ListClear(ListId::Keywords);
  window.SetStatusText(kListCleared);
}

void ClearRelatedKeywords(Window& window) {
  window.ListClear(ListId::RelatedKeywords);
}

void ImportKeywords(Window& window) {
  if (!window.ShowFileDialog(FileDialogMode::Open)) return;
  const std::string text = KeywordFileText(ReadWholeFile(window.FileDialogPath()));
  for (const std::string& line : SplitText(text, kLineEnd)) {
    if (IsKeywordLine(line)) window.ListAdd(ListId::Keywords, line);
    window.ProcessEvents();
  }
  window.SetStatusText(kImportDone);
}

void ExportRelatedKeywords(Window& window) {
  if (!window.ShowFileDialog(FileDialogMode::Save)) return;
  // The path and the count are taken before any event runs: the export writes the
  // file chosen in its own dialog and the items the list held when it began.
  const std::filesystem::path file = window.FileDialogPath();
  const int count = window.ListCount(ListId::RelatedKeywords);
  std::string text;
  for (int i = 0; i < count; ++i) {
    AppendKeywordLine(text, window.ListText(ListId::RelatedKeywords, i));
    window.ProcessEvents();
  }
  WriteWholeFile(file, TextToBytes(text));
  window.SetStatusText(kExportDone);
}

}  // namespace kelvaro
