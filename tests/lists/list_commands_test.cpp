// The list commands over the in-memory window: what they do to the lists, the status
// text and the files on disk, and when they let the window process events.
#include "lists/list_commands.h"

#include <gtest/gtest.h>

#include <deque>

#include "engine/memory_window.h"
#include "lists/keyword_file.h"
#include "tests/support/recording_window.h"
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

// The commands run on the in-memory window's thread, as a menu item's handler does,
// through a recorder whose hook runs at each event round. The dialogs answer from
// queues; their questions are kept.
class ListCommands : public testing::Test {
 protected:
  struct Prompt {
    std::string prompt, title, initial;
  };

  ListCommands() {
    window.SetStatusText(kBefore);
    window.SetFileDialogScript([this](FileDialogMode mode, const std::filesystem::path&) {
      fileDialogModes.push_back(mode);
      std::optional<std::filesystem::path> answer = fileAnswers.front();
      fileAnswers.pop_front();
      return answer;
    });
    window.SetPromptScript(
        [this](const std::string& prompt, const std::string& title, const std::string& initial) {
          prompts.push_back({prompt, title, initial});
          std::optional<std::string> answer = promptAnswers.front();
          promptAnswers.pop_front();
          return answer;
        });
    recorder.SetBeforeProcessEvents([this] {
      ++eventRounds;
      if (onEvents) onEvents();
    });
  }

  void Run(void (*command)(Window&)) {
    window.Invoke([&] { command(recorder); });
  }
  void Import(const std::filesystem::path& file) {
    fileAnswers.push_back(file);
    Run(ImportKeywords);
  }
  void Export(const std::filesystem::path& file) {
    fileAnswers.push_back(file);
    Run(ExportRelatedKeywords);
  }
  Lines Keywords() { return window.ListItems(ListId::Keywords); }
  Lines Related() { return window.ListItems(ListId::RelatedKeywords); }
  void SetKeywords(Lines items) { window.SetListItems(ListId::Keywords, std::move(items)); }
  void SetRelated(Lines items) { window.SetListItems(ListId::RelatedKeywords, std::move(items)); }

  // Touched on the window thread while a command runs, read by the test afterwards.
  std::deque<std::optional<std::filesystem::path>> fileAnswers;  // nullopt: cancel
  std::vector<FileDialogMode> fileDialogModes;
  std::deque<std::optional<std::string>> promptAnswers;  // nullopt: cancel
  std::vector<Prompt> prompts;
  int eventRounds = 0;
  std::function<void()> onEvents;

  TempDir dir;
  MemoryWindow window;
  test::RecordingWindow recorder{window};
};

TEST_F(ListCommands, AddKeywordTakesTheTextAsTyped) {
  SetKeywords({"a"});
  promptAnswers = {"  two spaces before, one after ", "", "a", std::nullopt};
  for (int i = 0; i < 4; ++i) Run(AddKeyword);
  EXPECT_EQ(Keywords(), (Lines{"a", "  two spaces before, one after ", "", "a"}));
  ASSERT_EQ(prompts.size(), 4u);
  EXPECT_EQ(prompts[0].prompt, kPrompt);
  EXPECT_EQ(prompts[0].title, kPrompt);
  EXPECT_EQ(prompts[0].initial, "");
  EXPECT_EQ(window.StatusText(), kBefore);
  EXPECT_TRUE(Related().empty());
}

TEST_F(ListCommands, AddKeywordToAListThatRefusesItAddsNothing) {
  SetKeywords({"a"});
  window.SetListLimit(ListId::Keywords, 1);
  promptAnswers = {"b"};
  Run(AddKeyword);
  EXPECT_EQ(Keywords(), Lines{"a"});
  EXPECT_EQ(window.StatusText(), kBefore);
}

TEST_F(ListCommands, ClearKeywordsReportsEvenAnEmptyList) {
  SetKeywords({"a", "b"});
  SetRelated({"r"});
  Run(ClearKeywords);
  EXPECT_TRUE(Keywords().empty());
  EXPECT_EQ(Related(), Lines{"r"});
  EXPECT_EQ(window.StatusText(), kListCleared);
  window.SetStatusText(kBefore);
  Run(ClearKeywords);
  EXPECT_EQ(window.StatusText(), kListCleared);
}

TEST_F(ListCommands, ClearRelatedKeywordsLeavesTheStatus) {
  SetKeywords({"a"});
  SetRelated({"r", "s"});
  Run(ClearRelatedKeywords);
  EXPECT_TRUE(Related().empty());
  EXPECT_EQ(Keywords(), Lines{"a"});
  EXPECT_EQ(window.StatusText(), kBefore);
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
    SetKeywords({"old"});
    window.SetStatusText(kBefore);
    Import(file);
    Lines expected = {"old"};
    expected.insert(expected.end(), c.added.begin(), c.added.end());
    EXPECT_EQ(Keywords(), expected);
    EXPECT_EQ(window.StatusText(), kImportDone);
    EXPECT_EQ(ParseKeywordFile(c.bytes), c.added);
  }
  EXPECT_EQ(fileDialogModes.back(), FileDialogMode::Open);
}

TEST_F(ListCommands, ImportTwiceGivesEveryKeywordTwice) {
  const auto file = dir / "keywords.txt";
  WriteBytes(file, "a\r\nb\r\n");
  Import(file);
  Import(file);
  EXPECT_EQ(Keywords(), (Lines{"a", "b", "a", "b"}));
}

TEST_F(ListCommands, ImportOfAFileThatCannotBeReadAddsNothing) {
  Import(dir / "missing.txt");
  Import(dir.Path());  // a folder
  EXPECT_TRUE(Keywords().empty());
  EXPECT_EQ(window.StatusText(), kImportDone);
}

TEST_F(ListCommands, ImportTakesUtf8Files) {
  const auto file = dir / "utf8.txt";
  WriteBytes(file, "\xEF\xBB\xBF\xE4\xB8\xAD\xE6\x96\x87\r\n");  // BOM, 中文
  Import(file);
  EXPECT_EQ(Keywords(), Lines{"\xD6\xD0\xCE\xC4"});
}

TEST_F(ListCommands, ImportProcessesEventsAfterEveryLine) {
  const auto file = dir / "keywords.txt";
  WriteBytes(file, "a\r\n\r\n \r\nb");
  std::vector<int> countsSeen;
  onEvents = [&] { countsSeen.push_back(window.ListCount(ListId::Keywords)); };
  Import(file);
  EXPECT_EQ(countsSeen, (std::vector<int>{1, 1, 1, 2}));  // skipped lines too
}

TEST_F(ListCommands, ExportWritesEveryItemWithCrLf) {
  SetRelated({"a", "b"});
  const auto file = dir / "out.txt";
  Export(file);
  EXPECT_EQ(ReadBytes(file), "a\r\nb\r\n");
  EXPECT_EQ(window.StatusText(), kExportDone);
  EXPECT_EQ(fileDialogModes.back(), FileDialogMode::Save);
  EXPECT_EQ(eventRounds, 2);
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
  SetRelated({"a"});
  Export(dir / "missing-folder" / "out.txt");
  EXPECT_EQ(window.StatusText(), kExportDone);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing-folder"));
}

// The count is read once and the file is the one chosen in the export's own dialog,
// whatever the events in between do to the list and the dialog.
TEST_F(ListCommands, ExportWritesTheListAsItWasCountedToItsOwnFile) {
  SetRelated({"a", "b", "c"});
  const auto file = dir / "out.txt";
  const auto other = dir / "other.txt";
  onEvents = [&] {
    if (eventRounds != 1) return;
    SetRelated({"x", "added later"});  // shorter: positions past its end are empty lines
    fileAnswers.push_back(other);
    window.ShowFileDialog(FileDialogMode::Open);
  };
  Export(file);
  EXPECT_EQ(ReadBytes(file), "a\r\nadded later\r\n\r\n");
  EXPECT_FALSE(std::filesystem::exists(other));
}

TEST_F(ListCommands, ExportThenImportAppendsTheNonBlankItemsInOrder) {
  SetRelated({"b", "", "  ", "\xD6\xD0 x", "\xA1\xA1", "a\r\nc", "b"});
  SetKeywords({"seed"});
  const auto file = dir / "round.txt";
  Export(file);
  Import(file);
  EXPECT_EQ(Keywords(), (Lines{"seed", "b", "\xD6\xD0 x", "a", "c", "b"}));
}

TEST_F(ListCommands, CancelledDialogsChangeNothing) {
  SetKeywords({"k"});
  SetRelated({"r"});
  const auto file = dir / "keep.txt";
  WriteBytes(file, "kept\r\n");
  fileAnswers = {std::nullopt, std::nullopt};
  Run(ImportKeywords);
  Run(ExportRelatedKeywords);
  EXPECT_EQ(Keywords(), Lines{"k"});
  EXPECT_EQ(Related(), Lines{"r"});
  EXPECT_EQ(window.StatusText(), kBefore);
  EXPECT_EQ(eventRounds, 0);
  EXPECT_EQ(ReadBytes(file), "kept\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

}  // namespace
}  // namespace kelvaro
