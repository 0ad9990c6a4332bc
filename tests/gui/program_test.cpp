// The whole program under Wine: start-up with its settings file, harvests started and
// stopped with the real button against the test search service, closing the window
// during a harvest, and kelvaro.exe itself started from a folder with Chinese in its
// name and closed through its exit question.
#include "app/win32/program.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <vector>

#include "engine/harvest_texts.h"
#include "engine/search_request.h"
#include "platform/process.h"
#include "tests/gui/window_driver.h"
#include "tests/support/search_service.h"
#include "tests/support/temp_dir.h"

namespace kelvaro {
namespace {

using test::PumpUntil;
using test::ReadBytes;
using test::TextOf;
using test::WaitUntil;

const std::string kSeed = "\xD6\xD6\xD7\xD3";  // 种子
const std::string kJia = "\xBC\xD7";           // 甲
const std::string kYi = "\xD2\xD2";            // 乙
const std::string kBing = "\xB1\xFB";          // 丙
const std::string kFirstStart =
    "[\xC5\xE4\xD6\xC3]\r\n"                   // [配置]
    "\xB9\xA4\xD7\xF7\xCF\xDF\xB3\xCC=20\r\n"  // 工作线程=20
    "\xB2\xC9\xBC\xAF\xBC\xB6\xB1\xF0=1\r\n";  // 采集级别=1

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() {
    hooks.fetchPage = [this](const std::string& keyword, const std::atomic<bool>* cancel) {
      return FetchSearchPage(keyword, service.Endpoint(2000), cancel);
    };
    hooks.askOpenMakerPage = [this] {
      Question seen;
      seen.caption = program->Window().ButtonCaption();
      seen.status = program->Window().StatusText();
      seen.related = program->Window().ListCount(ListId::RelatedKeywords);
      auto harvest = program->App()->State().CurrentHarvest();
      seen.harvestCalledOff = !harvest || harvest->mark.IsSet();
      questions.push_back(seen);
      return answer;
    };
    hooks.shellOpen = [this](const ShellOpenRequest& request) { opened.push_back(request); };
    hooks.endProcess = [this](UINT code) { exitCodes.push_back(code); };
  }

  void Start() {
    program = std::make_unique<Program>(dir.Path() / "kelvaro.exe", hooks);
    program->Startup();
    ASSERT_NE(program->Window().Handle(), nullptr);
  }

  MainWindow& Window() { return program->Window(); }
  HWND Control(ControlId id) {
    return GetDlgItem(program->Window().Handle(), static_cast<int>(id));
  }
  void Click() { SendMessageW(Control(ControlId::StartButton), BM_CLICK, 0, 0); }

  struct Question {
    std::string caption, status;
    int related = 0;
    bool harvestCalledOff = false;
  };

  test::TestSearchService service;
  test::TempDir dir;
  ProgramHooks hooks;
  bool answer = false;
  std::vector<Question> questions;
  std::vector<ShellOpenRequest> opened;
  std::vector<UINT> exitCodes;
  std::unique_ptr<Program> program;  // first to go: it waits for the harvest's threads
};

TEST_F(ProgramTest, StartUpLoadsTheSettingsAndWritesThemBack) {
  Start();
  EXPECT_EQ(program->App()->RunDirectory(), dir.Path() / "");
  EXPECT_EQ(Window().EditText(EditId::WorkerCount), "20");
  EXPECT_EQ(Window().EditText(EditId::Depth), "1");
  EXPECT_EQ(ReadBytes(dir / "config.ini"), kFirstStart);
  EXPECT_TRUE(IsWindowVisible(Window().Handle()));

  // Typing into the emptied depth box writes every change at once.
  HWND depth = Control(ControlId::DepthEdit);
  Window().SetEditText(EditId::Depth, "");
  for (wchar_t character : std::wstring(L"30")) SendMessageW(depth, WM_CHAR, character, 1);
  EXPECT_EQ(ReadBytes(dir / "config.ini"),
            "[\xC5\xE4\xD6\xC3]\r\n\xB9\xA4\xD7\xF7\xCF\xDF\xB3\xCC=20\r\n"
            "\xB2\xC9\xBC\xAF\xBC\xB6\xB1\xF0=30\r\n");
}

TEST_F(ProgramTest, AHarvestRunsToItsSummary) {
  service.SetRelated(kSeed, {kJia, kYi, kJia});
  service.SetRelated(kJia, {kBing, kYi});
  service.SetRelated(kYi, {kBing});
  Start();
  Window().ListAdd(ListId::Keywords, kSeed);
  Window().SetEditText(EditId::Depth, "2");

  Click();
  EXPECT_EQ(Window().ButtonCaption(), kStopCaption);
  // 3 from the seed, 2 from each 甲 and 1 from 乙: 8 found, 3 after the repeats went.
  ASSERT_TRUE(PumpUntil([&] { return Window().StatusText() == HarvestSummary(8, 3); }));
  EXPECT_EQ(Window().ButtonCaption(), kStartCaption);
  HWND related = Control(ControlId::RelatedList);
  ASSERT_EQ(SendMessageW(related, LB_GETCOUNT, 0, 0), 3);
  // A child's keywords may come in before its parent's later siblings.
  std::set<std::wstring> shown;
  for (int i = 0; i < 3; ++i) shown.insert(test::ListBoxText(related, i));
  EXPECT_EQ(shown, (std::set<std::wstring>{L"\u7532", L"\u4E59", L"\u4E19"}));  // 甲 乙 丙
  EXPECT_EQ(test::ListBoxText(related, 0), L"\u7532");
  EXPECT_EQ(service.RequestCount(kSeed), 1u);
  EXPECT_EQ(service.RequestCount(kJia), 2u);
  EXPECT_EQ(service.RequestCount(kBing), 0u);  // level 3 is beyond the depth
}

TEST_F(ProgramTest, StopEndsAHarvestAtOnceAndTheNextOneRuns) {
  service.SetAnswer(kSeed, test::Answer::Stall());
  Start();
  Window().ListAdd(ListId::Keywords, kSeed);
  for (const std::string& item : {kJia, kJia, kYi}) Window().ListAdd(ListId::RelatedKeywords, item);

  Click();
  ASSERT_TRUE(PumpUntil([&] { return service.RequestCount(kSeed) == 1; }));
  EXPECT_EQ(Window().StatusText(), kHarvestingStatus);
  Click();  // stop: no summary, the related list without repeats
  EXPECT_EQ(Window().ButtonCaption(), kStartCaption);
  EXPECT_EQ(Window().StatusText(), kHarvestingStatus);
  ASSERT_EQ(Window().ListCount(ListId::RelatedKeywords), 2);
  EXPECT_EQ(Window().ListText(ListId::RelatedKeywords, 1), kYi);

  // The stalled fetch is abandoned; a new harvest does not wait for it.
  service.SetRelated(kSeed, {kBing});
  service.SetAnswer(kSeed, test::Answer::Delayed(std::chrono::milliseconds(0)));
  Click();
  ASSERT_TRUE(PumpUntil([&] { return Window().StatusText() == HarvestSummary(3, 3); }));
  EXPECT_EQ(Window().ButtonCaption(), kStartCaption);
}

TEST_F(ProgramTest, ClosingTheWindowStopsTheHarvestThenAsks) {
  for (const bool ok : {false, true}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    answer = ok;
    questions.clear();
    opened.clear();
    exitCodes.clear();
    service.SetAnswer(kSeed, test::Answer::Stall());
    Start();
    Window().ListAdd(ListId::Keywords, kSeed);
    Click();
    ASSERT_TRUE(PumpUntil([&] { return service.RequestCount(kSeed) >= (ok ? 2u : 1u); }));

    SendMessageW(Window().Handle(), WM_CLOSE, 0, 0);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].harvestCalledOff);
    EXPECT_EQ(questions[0].status, kHarvestingStatus);  // no summary
    EXPECT_EQ(exitCodes, std::vector<UINT>{0});
    EXPECT_EQ(program->App(), nullptr) << "the exit clean-up ran";
    EXPECT_EQ(Window().Handle(), nullptr);
    if (ok) {
      ASSERT_EQ(opened.size(), 1u);
      EXPECT_EQ(opened[0].file, MakerAddress());
      EXPECT_EQ(ShellOperationText(opened[0].operation), "open");
      EXPECT_EQ(opened[0].showMode, 1);
      EXPECT_EQ(opened[0].window, nullptr);
    } else {
      EXPECT_TRUE(opened.empty());
    }
    // A second ExitProgram ends the process again but cleans up nothing twice.
    program->ExitProgram(3);
    EXPECT_EQ(exitCodes, (std::vector<UINT>{0, 3}));
    EXPECT_TRUE(program->WaitForHarvestThreads(test::kPatience));
    program.reset();
  }
}

TEST_F(ProgramTest, ClosingWithoutAHarvestAsksOnce) {
  Start();
  PostMessageW(Window().Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(PumpUntil([&] { return !exitCodes.empty(); }));
  EXPECT_EQ(questions.size(), 1u);
  EXPECT_EQ(exitCodes, std::vector<UINT>{0});
}

// kelvaro.exe beside this test program's build folder: build/app/win32/kelvaro.exe.
std::filesystem::path BuiltProgram() {
  return ProgramPath().parent_path().parent_path() / "app" / "win32" / "kelvaro.exe";
}

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};

TEST(KelvaroExe, StartsFromAChineseFolderAndEndsThroughItsQuestion) {
  ASSERT_TRUE(std::filesystem::exists(BuiltProgram())) << BuiltProgram();
  test::TempDir dir;
  const std::filesystem::path folder = dir.Path() / std::filesystem::path(u8"采集 工具");
  std::filesystem::create_directory(folder);
  const std::filesystem::path program = folder / "kelvaro.exe";
  std::filesystem::copy_file(BuiltProgram(), program);

  // Started with another working directory, as from a shortcut.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::wstring commandLine = L"\"" + program.wstring() + L"\"";
  ASSERT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, dir.Path().c_str(), &startup, &started));
  std::unique_ptr<void, HandleCloser> process(started.hProcess);
  std::unique_ptr<void, HandleCloser> thread(started.hThread);

  HWND window = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    return (window = test::FindProcessWindow(started.dwProcessId, L"KelvaroMainWindow")) != nullptr;
  }));
  EXPECT_EQ(TextOf(window), L"Kelvaro");
  EXPECT_EQ(ReadBytes(folder / "config.ini"), kFirstStart);
  EXPECT_FALSE(std::filesystem::exists(dir / "config.ini"));

  PostMessageW(window, WM_CLOSE, 0, 0);
  HWND question = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    return (question = test::FindProcessWindow(started.dwProcessId, L"#32770")) != nullptr;
  }));
  EXPECT_EQ(TextOf(question), L"\u4FE1\u606F\uFF1A");  // 信息：
  EXPECT_EQ(TextOf(GetDlgItem(question, 0xFFFF)),
            L"\u662F\u5426\u8FDB\u5165Tanvrel\u5B98\u65B9\u67E5\u770B\u6700\u65B0\u4F5C\u54C1?");
  EXPECT_NE(GetDlgItem(question, IDOK), nullptr);
  EXPECT_NE(GetDlgItem(question, IDCANCEL), nullptr);
  EXPECT_EQ(GetWindow(question, GW_OWNER), nullptr);

  PostMessageW(question, WM_COMMAND, IDCANCEL, 0);
  ASSERT_EQ(WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);
  DWORD exitCode = 99;
  GetExitCodeProcess(process.get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace
}  // namespace kelvaro
