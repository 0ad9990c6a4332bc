// Loading and saving the two settings through "config.ini" in a real directory, with a
// window whose boxes raise their change event for texts the program sets, as the real
// one does, so every load writes both keys back.
#include "app/settings.h"

#include <gtest/gtest.h>

#include "tests/app/settings_window.h"
#include "tests/support/temp_dir.h"

namespace kelvaro {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kSection = "\xC5\xE4\xD6\xC3";                  // 配置
const std::string kWorkers = "\xB9\xA4\xD7\xF7\xCF\xDF\xB3\xCC";  // 工作线程
const std::string kDepth = "\xB2\xC9\xBC\xAF\xBC\xB6\xB1\xF0";    // 采集级别

// One start of the program: the window's boxes wired to the save handlers, then loaded.
test::SettingsWindow Start(const std::filesystem::path& runDirectory) {
  test::SettingsWindow window;
  window.onEditChanged[EditId::WorkerCount] = [&window, runDirectory] {
    SaveWorkerCount(window, runDirectory);
  };
  window.onEditChanged[EditId::Depth] = [&window, runDirectory] {
    SaveDepth(window, runDirectory);
  };
  LoadSettings(window, runDirectory);
  window.onEditChanged.clear();  // the handlers hold the local window
  return window;
}

TEST(Settings, StartsAndWritesBack) {
  struct Case {
    const char* what;
    std::string before;  // empty: no file
    std::string workers, depth, after;
  } cases[] = {
      {"first start", "", "20", "1",
       "[" + kSection + "]\r\n" + kWorkers + "=20\r\n" + kDepth + "=1\r\n"},
      {"an empty value stays empty", "[" + kSection + "]\r\n" + kWorkers + "=\r\n", "", "1",
       "[" + kSection + "]\r\n" + kWorkers + "=\r\n" + kDepth + "=1\r\n"},
      {"blanks and quotes go, in the box and in the file",
       "[" + kSection + "]\r\n" + kWorkers + " =  8  \r\n" + kDepth + "='3'\r\n", "8", "3",
       "[" + kSection + "]\r\n" + kWorkers + "=8\r\n" + kDepth + "=3\r\n"},
      {"texts that are no numbers are kept",
       "[" + kSection + "]\r\n" + kWorkers + "=abc\r\n" + kDepth + "=-2\r\n", "abc", "-2",
       "[" + kSection + "]\r\n" + kWorkers + "=abc\r\n" + kDepth + "=-2\r\n"},
      {"other sections, keys and lines survive",
       "; by hand\r\n[mine]\r\na=1\r\n\r\n[" + kSection + "]\r\nextra=x\r\n", "20", "1",
       "; by hand\r\n[mine]\r\na=1\r\n\r\n[" + kSection + "]\r\nextra=x\r\n" + kWorkers +
           "=20\r\n" + kDepth + "=1\r\n"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::filesystem::path runDirectory = dir.Path() / "";
    if (!c.before.empty()) WriteBytes(dir / "config.ini", c.before);
    test::SettingsWindow window = Start(runDirectory);
    EXPECT_EQ(window.edits[EditId::WorkerCount], c.workers) << c.what;
    EXPECT_EQ(window.edits[EditId::Depth], c.depth) << c.what;
    EXPECT_EQ(ReadBytes(dir / "config.ini"), c.after) << c.what;
    // A second start finds what the first one left and leaves it as it is.
    Start(runDirectory);
    EXPECT_EQ(ReadBytes(dir / "config.ini"), c.after) << c.what << ", second start";
  }
}

TEST(Settings, AValueOf12000BytesComesBackCut) {
  TempDir dir;
  WriteBytes(dir / "config.ini",
             "[" + kSection + "]\r\n" + kDepth + "=" + std::string(12000, '9') + "\r\n");
  test::SettingsWindow window = Start(dir.Path() / "");
  EXPECT_EQ(window.edits[EditId::Depth], std::string(10239, '9'));
  EXPECT_EQ(ReadBytes(dir / "config.ini"), "[" + kSection + "]\r\n" + kDepth + "=" +
                                               std::string(10239, '9') + "\r\n" + kWorkers +
                                               "=20\r\n");
}

TEST(Settings, EveryChangeOfABoxWritesItsWholeText) {
  TempDir dir;
  const std::filesystem::path runDirectory = dir.Path() / "";
  test::SettingsWindow window = Start(runDirectory);
  for (const std::string text : {"3", "30", ""}) {
    window.edits[EditId::Depth] = text;
    SaveDepth(window, runDirectory);
    EXPECT_EQ(ReadBytes(dir / "config.ini"),
              "[" + kSection + "]\r\n" + kWorkers + "=20\r\n" + kDepth + "=" + text + "\r\n");
  }
}

}  // namespace
}  // namespace kelvaro
