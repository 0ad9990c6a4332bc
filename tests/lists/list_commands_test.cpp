// The list commands over a small scripted window: what they do to the lists, the
// status text and the files on disk, and when they let the window process events.
#include "lists/list_commands.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "lists/keyword_file.h"
#include "tests/support/temp_dir.h"

namespace kelvaro {
namespace {

using Lines = std::vector<std::string>;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kPrompt = "\xC7\xEB\xCA\xE4\xC8\xEB\xB9\xD8\xBC\xFC\xD7\xD6:";  // 请输入关键字:
const std::string kListCleared = "\xC1\xD0\xB1\xED\xD2\xD1\xC7\xE5\xBF\xD5..";  // 列表已清空..
const std::string kImportDone = "\xB5\xBC\xC8\xEB\xCD\xEA\xB3\xC9.";            // 导入完成.
const std::string kExportDone = "\xB5\xBC\xB3\xF6\xCD\xEA\xB3\xC9.";            // 导出完成.
const std::string kBefore = "before";

// A window whose dialogs answer from scripts and whose event processing runs a hook.
class FakeWindow : public Window {
 public:
  std::map<ListId, Lines> lists;
  std::string status = kBefore;
  std::deque<std::optional<std::filesystem::path>> fileAnswers;  // nullopt: cancel
  std::vector<FileDialogMode> fileDialogModes;
  std::deque<std::optional<std::string>> promptAnswers;
  struct Prompt {
    std::string prompt, title, initial;
  };
  std::vector<Prompt> prompts;
  std::function<void()> onProcessEvents = [] {};
  int eventRounds = 0;

  void Invoke(const std::function<void()>& action) override { action(); }
  bool OnWindowThread() const override { return true; }
  void ProcessEvents() override {
    ++eventRounds;
    onProcessEvents();
  }
  int ListCount(ListId list) override { return static_cast<int>(lists[list].size()); }
  std::string ListText(ListId list, int index) override {
    const Lines& items = lists[list];
    return index >= 0 && index < static_cast<int>(items.size()) ? items[index] : "";
  }
  int ListAdd(ListId list, const std::string& text) override {
    lists[list].push_back(text);
    return ListCount(list) - 1;
  }
  void ListClear(ListId list) override { lists[list].clear(); }
  std::string EditText(EditId) override { return ""; }
  void SetEditText(EditId, const std::string&) override {}
  std::string ButtonCaption() override { return ""; }
  void SetButtonCaption(const std::string&) override {}
  std::string StatusText() override { return status; }
  void SetStatusText(const std::string& text) override { status = text; }
  bool ShowFileDialog(FileDialogMode mode) override {
    fileDialogModes.push_back(mode);
    std::optional<std::filesystem::path> answer = fileAnswers.front();
    fileAnswers.pop_front();
    if (answer) path_ = *answer;
    return answer.has_value();
  }
  std::filesystem::path FileDialogPath() override { return path_; }
  std::optional<std::string> PromptForText(const std::string& prompt, const std::string& title,
                                           const std::string& initial) override {
    prompts.push_back({prompt, title, initial});
    std::optional<std::string> answer = promptAnswers.front();
    promptAnswers.pop_front();
    return answer;
  }

 private:
  std::filesystem::path path_;
};

class ListCommands : public testing::Test {
 protected:
  TempDir dir;
  FakeWindow window;
  Lines& keywords = window.lists[ListId::Keywords];
  Lines& related = window.lists[ListId::RelatedKeywords];

  void Import(const std::filesystem::path& file) {
    window.fileAnswers.push_back(file);
    ImportKeywords(window);
  }
  void Export(const std::filesystem::path& file) {
    window.fileAnswers.push_back(file);
    ExportRelatedKeywords(window);
  }
};

TEST_F(ListCommands, AddKeywordTakesTheTextAsTyped) {
  keywords = {"a"};
  window.promptAnswers = {"  two spaces before, one after ", "", "a", std::nullopt};
  for (int i = 0; i < 4; ++i) AddKeyword(window);
  EXPECT_EQ(keywords, (Lines{"a", "  two spaces before, one after ", "", "a"}));
  ASSERT_EQ(window.prompts.size(), 4u);
  EXPECT_EQ(window.prompts[0].prompt, kPrompt);
  EXPECT_EQ(window.prompts[0].title, kPrompt);
  EXPECT_EQ(window.prompts[0].initial, "");
  EXPECT_EQ(window.status, kBefore);
  EXPECT_TRUE(related.empty());
}

TEST_F(ListCommands, ClearKeywordsReportsEvenAnEmptyList) {
  keywords = {"a", "b"};
  related = {"r"};
  ClearKeywords(window);
  EXPECT_TRUE(keywords.empty());
  EXPECT_EQ(related, Lines{"r"});
  EXPECT_EQ(window.status, kListCleared);
  window.status = kBefore;
  ClearKeywords(window);
  EXPECT_EQ(window.status, kListCleared);
}

TEST_F(ListCommands, ClearRelatedKeywordsLeavesTheStatus) {
  keywords = {"a"};
  related = {"r", "s"};
  ClearRelatedKeywords(window);
  EXPECT_TRUE(related.empty());
  EXPECT_EQ(keywords, Lines{"a"});
  EXPECT_EQ(window.status, kBefore);
}

// Every case appends to a list that already holds an item; the whole-file parser
// used by other front ends must agree with the command.
TEST_F(ListCommands, ImportAppendsTheFilesKeywordLines) {
  struct Case {
    const char* what;
    std::string bytes;
    Lines added;
  } cases[] = {
      {"blank lines skipped", "a\r\n\r\n  \r\nb\r\n", {"a", "b"}},
      {"ideographic space kept", "\xA1\xA1x\r\n", {"\xA1\xA1x"}},
      {"blanks around kept", "  a \r\n", {"  a "}},
      {"tab is no blank", "\t\r\n", {"\t"}},
      {"LF only is one line", "a\nb\n", {"a\nb\n"}},
      {"cut at NUL", std::string("a\r\nb\0c\r\nd\r\n", 12), {"a", "b"}},
      {"no final CR LF", "a\r\nb", {"a", "b"}},
      {"empty file", "", {}},
      {"blank lines only", " \r\n\xA1\xA1 \r\n\r\n", {}},
      {"bytes that are not CP936", "\x80\xFF\r\n", {"\x80\xFF"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto file = dir / "keywords.txt";
    WriteBytes(file, c.bytes);
    keywords = {"old"};
    window.status = kBefore;
    Import(file);
    Lines expected = {"old"};
    expected.insert(expected.end(), c.added.begin(), c.added.end());
    EXPECT_EQ(keywords, expected);
    EXPECT_EQ(window.status, kImportDone);
    EXPECT_EQ(ParseKeywordFile(c.bytes), c.added);
  }
  EXPECT_EQ(window.fileDialogModes.back(), FileDialogMode::Open);
}

TEST_F(ListCommands, ImportTwiceGivesEveryKeywordTwice) {
  const auto file = dir / "keywords.txt";
  WriteBytes(file, "a\r\nb\r\n");
  Import(file);
  Import(file);
  EXPECT_EQ(keywords, (Lines{"a", "b", "a", "b"}));
}

TEST_F(ListCommands, ImportOfAFileThatCannotBeReadAddsNothing) {
  Import(dir / "missing.txt");
  Import(dir.Path());  // a folder
  EXPECT_TRUE(keywords.empty());
  EXPECT_EQ(window.status, kImportDone);
}

TEST_F(ListCommands, ImportTakesUtf8Files) {
  const auto file = dir / "utf8.txt";
  WriteBytes(file, "\xEF\xBB\xBF\xE4\xB8\xAD\xE6\x96\x87\r\n");  // BOM, 中文
  Import(file);
  EXPECT_EQ(keywords, Lines{"\xD6\xD0\xCE\xC4"});
}

TEST_F(ListCommands, ImportProcessesEventsAfterEveryLine) {
  const auto file = dir / "keywords.txt";
  WriteBytes(file, "a\r\n\r\n \r\nb");
  std::vector<size_t> countsSeen;
  window.onProcessEvents = [&] { countsSeen.push_back(keywords.size()); };
  Import(file);
  EXPECT_EQ(countsSeen, (std::vector<size_t>{1, 1, 1, 2}));  // skipped lines too
}

TEST_F(ListCommands, ExportWritesEveryItemWithCrLf) {
  related = {"a", "b"};
  const auto file = dir / "out.txt";
  Export(file);
  EXPECT_EQ(ReadBytes(file), "a\r\nb\r\n");
  EXPECT_EQ(window.status, kExportDone);
  EXPECT_EQ(window.fileDialogModes.back(), FileDialogMode::Save);
  EXPECT_EQ(window.eventRounds, 2);
}

TEST_F(ListCommands, ExportOfAnEmptyListEmptiesTheFile) {
  const auto fresh = dir / "fresh.txt";
  const auto existing = dir / "existing.txt";
  WriteBytes(existing, "old content\r\n");
  Export(fresh);
  Export(existing);
  EXPECT_TRUE(std::filesystem::exists(fresh));
  EXPECT_EQ(std::filesystem::file_size(fresh), 0u);
  EXPECT_EQ(std::filesystem::file_size(existing), 0u);
}

TEST_F(ListCommands, ExportThatCannotWriteStillReportsDone) {
  related = {"a"};
  Export(dir / "missing-folder" / "out.txt");
  EXPECT_EQ(window.status, kExportDone);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing-folder"));
}

// The count is read once and the file is the one chosen in the export's own dialog,
// whatever the events in between do to the list and the dialog.
TEST_F(ListCommands, ExportWritesTheListAsItWasCountedToItsOwnFile) {
  related = {"a", "b", "c"};
  const auto file = dir / "out.txt";
  const auto other = dir / "other.txt";
  window.onProcessEvents = [&] {
    if (window.eventRounds != 1) return;
    related = {"x"};  // shorter now: positions past its end are empty lines
    related.push_back("added later");
    window.fileAnswers.push_back(other);
    window.ShowFileDialog(FileDialogMode::Open);
  };
  Export(file);
  EXPECT_EQ(ReadBytes(file), "a\r\nadded later\r\n\r\n");
  EXPECT_FALSE(std::filesystem::exists(other));
}

TEST_F(ListCommands, ExportThenImportAppendsTheNonBlankItemsInOrder) {
  related = {"b", "", "  ", "\xD6\xD0 x", "\xA1\xA1", "a\r\nc", "b"};
  keywords = {"seed"};
  const auto file = dir / "round.txt";
  Export(file);
  Import(file);
  EXPECT_EQ(keywords, (Lines{"seed", "b", "\xD6\xD0 x", "a", "c", "b"}));
}

TEST_F(ListCommands, CancelledDialogsChangeNothing) {
  keywords = {"k"};
  related = {"r"};
  const auto file = dir / "keep.txt";
  WriteBytes(file, "kept\r\n");
  window.fileAnswers = {std::nullopt, std::nullopt};
  ImportKeywords(window);
  ExportRelatedKeywords(window);
  EXPECT_EQ(keywords, Lines{"k"});
  EXPECT_EQ(related, Lines{"r"});
  EXPECT_EQ(window.status, kBefore);
  EXPECT_EQ(window.eventRounds, 0);
  EXPECT_EQ(ReadBytes(file), "kept\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

}  // namespace
}  // namespace kelvaro
