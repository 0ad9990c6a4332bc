// The end of the program without a screen: the shell's verbs by number, the maker's
// address, and what the answer to the exit question does.
#include "app/shutdown.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/app/settings_window.h"

namespace kelvaro {
namespace {

TEST(Shutdown, ShellOperationsByNumber) {
  const std::pair<int, std::string_view> cases[] = {
      {1, "edit"}, {2, "explore"}, {3, "find"}, {4, "open"},  {5, "print"},
      {0, "open"}, {6, "open"},    {7, "open"}, {-1, "open"},
  };
  for (const auto& [number, text] : cases) EXPECT_EQ(ShellOperationText(number), text) << number;
}

TEST(Shutdown, MakerAddressEndsInTheProductName) {
  EXPECT_EQ(MakerAddress(), "https://www.example.com/#Kelvaro");
}

TEST(Shutdown, TheShellOpensTheMakersPageOnlyOnOk) {
  for (const bool answer : {true, false}) {
    test::SettingsWindow window;
    Application application([](const std::string&, const std::atomic<bool>*) { return ""; });
    application.AttachWindow(window);
    int questions = 0;
    std::vector<ShellOpenRequest> opened;
    CloseDown(
        application,
        [&] {
          ++questions;
          return answer;
        },
        [&](const ShellOpenRequest& request) { opened.push_back(request); });
    EXPECT_EQ(questions, 1);
    if (!answer) {
      EXPECT_TRUE(opened.empty());
      continue;
    }
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].window, nullptr);
    EXPECT_EQ(ShellOperationText(opened[0].operation), "open");
    EXPECT_EQ(opened[0].file, MakerAddress());
    EXPECT_EQ(opened[0].parameters, "");
    EXPECT_EQ(opened[0].directory, "");
    EXPECT_EQ(opened[0].showMode, 1);
  }
}

}  // namespace
}  // namespace kelvaro
