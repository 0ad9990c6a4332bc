// kelvaro-cli end to end: the built program against the test search service.
#include <signal.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "engine/harvest_state.h"
#include "engine/harvest_texts.h"
#include "engine/memory_window.h"
#include "engine/run_control.h"
#include "engine/search_request.h"
#include "platform/code_page.h"
#include "tests/support/child_process.h"
#include "tests/support/demo_keyword_graph.h"
#include "tests/support/search_service.h"
#include "tests/support/temp_dir.h"

namespace kelvaro {
namespace {

using namespace std::chrono_literals;
using test::ChildOptions;
using test::ChildResult;
using test::TestSearchService;

const std::vector<std::string> kUtf8Env{"LANG=C.UTF-8", "LC_ALL=C.UTF-8"};

std::string Cp936(std::string_view utf8) {
  return WideToAnsi(Utf8ToWide(utf8));
}
std::string Utf8(std::string_view cp936) {
  return WideToUtf8(AnsiToWide(cp936));
}

ChildResult RunCli(const std::vector<std::string>& args, ChildOptions options = {}) {
  options.env.insert(options.env.end(), kUtf8Env.begin(), kUtf8Env.end());
  return test::RunChild(KELVARO_CLI_PATH, args, options);
}

std::vector<std::string> Lines(const std::string& text, std::string_view end = "\n") {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t at; (at = text.find(end, start)) != std::string::npos; start = at + end.size()) {
    lines.push_back(text.substr(start, at - start));
  }
  EXPECT_EQ(start, text.size()) << "the last line is not ended";
  return lines;
}

std::vector<std::string> Sorted(std::vector<std::string> items) {
  std::sort(items.begin(), items.end());
  return items;
}

// The same harvest through the engine's in-memory window: related list and summary.
std::pair<std::vector<std::string>, std::string> HarvestInProcess(
    const TestSearchService& service, const std::vector<std::string>& seeds, int depth) {
  MemoryWindow window{std::string(kStartCaption)};
  HarvestState state;
  const SearchService endpoint = service.Endpoint();
  RunControl control(window, state, [endpoint](const std::string& k, const std::atomic<bool>* c) {
    return FetchSearchPage(k, endpoint, c);
  });
  window.SetButtonHandler([&] { control.OnStartStopClicked(); });
  window.SetListItems(ListId::Keywords, seeds);
  window.SetEditText(EditId::Depth, std::to_string(depth));
  window.SetEditText(EditId::WorkerCount, "4");
  window.Click();
  // The summary is the controller's last step, after the caption.
  const std::string done = HarvestSummary(0, 0).substr(0, 8);  // 采集完成
  EXPECT_TRUE(window.WaitUntil([&] { return window.StatusText().starts_with(done); }, 20s));
  std::pair result{window.ListItems(ListId::RelatedKeywords), window.StatusText()};
  window.Invoke([&] { control.AbortHarvest(); });
  EXPECT_TRUE(state.WaitUntilQuiet(10s));
  return result;
}

class CliTest : public ::testing::Test {
 protected:
  TestSearchService service{test::DemoKeywordGraph()};
  test::TempDir dir;
  std::string Service() const { return "http://127.0.0.1:" + std::to_string(service.Port()); }
};

TEST_F(CliTest, HarvestMatchesTheWindowsHarvestFromEverySeedSource) {
  const std::vector<std::string> seeds{Cp936("手机"), "java"};
  const auto [expected, summary] = HarvestInProcess(service, seeds, 2);
  ASSERT_FALSE(expected.empty());

  test::WriteBytes(dir / "seeds.txt", seeds[0] + "\r\n\r\n  \r\n" + seeds[1] + "\r\n");
  struct Source {
    const char* name;
    std::vector<std::string> args;
    std::string input;
  } sources[] = {
      {"arguments", {"手机", "java"}, ""},
      {"seeds file", {"--seeds", (dir / "seeds.txt").string()}, ""},
      {"standard input", {}, "手机\n\njava\r\n"},
      {"standard input named", {"--seeds", "-"}, "手机\njava\n"},
  };
  for (const Source& source : sources) {
    std::vector<std::string> args{"--service", Service(), "--depth", "2", "--workers", "4"};
    args.insert(args.end(), source.args.begin(), source.args.end());
    ChildOptions options;
    options.input = source.input;
    const ChildResult run = RunCli(args, options);
    ASSERT_EQ(run.exitCode, 0) << source.name << ": " << run.err;
    std::vector<std::string> expectedUtf8;
    for (const std::string& item : expected) expectedUtf8.push_back(Utf8(item));
    EXPECT_EQ(Sorted(Lines(run.out)), Sorted(expectedUtf8)) << source.name;
    EXPECT_EQ(run.err, Utf8(summary) + "\n") << source.name;  // not a terminal: no progress
  }
}

TEST_F(CliTest, OutputFileIsTheExportFormat) {
  service.SetRelated(Cp936("天气"), {Cp936("北京天气"), "a b", Cp936("北京天气")});
  const auto out = dir / "out.txt";
  struct Case {
    std::vector<std::string> extra;
    std::string bytes;
  } cases[] = {
      {{}, Cp936("北京天气") + "\r\na b\r\n"},
      {{"--encoding", "utf-8"}, "北京天气\r\na b\r\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"--service", Service(), "--output", out.string(), "-q", "天气"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const ChildResult run = RunCli(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(test::ReadBytes(out), c.bytes);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");  // --quiet
  }
  // The keyword went out as CP936, percent-encoded.
  EXPECT_EQ(service.RequestCount(Cp936("天气")), 2u);
}

TEST_F(CliTest, BadUsageSaysWhatIsWrongAndSendsNothing) {
  test::WriteBytes(dir / "seeds.txt", "a\r\n");
  const std::string missing = (dir / "missing.txt").string();
  const std::string unwritable = (dir / "no-such-dir" / "out.txt").string();
  struct Case {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"--bogus", "a"}, "unknown option --bogus"},
      {{"--depth", "x", "a"}, "--depth: not a number: x"},
      {{"--workers", "3x", "a"}, "--workers: not a number: 3x"},
      {{"--depth"}, "option --depth needs a value"},
      {{"--seeds", missing}, "cannot read the seeds file " + missing},
      {{"--output", unwritable, "a"}, "cannot write the output file " + unwritable},
      {{"--output", dir.Path().string(), "a"}, "cannot write the output file"},
      {{"--encoding", "latin1", "a"}, "--encoding: unknown encoding latin1"},
      {{"--service", "https://127.0.0.1:1", "a"}, "--service: not an http address"},
      {{}, "no seed keywords"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"--service", Service()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ChildResult run = RunCli(args);
    EXPECT_EQ(run.exitCode, 2) << c.message;
    EXPECT_EQ(run.err.find("kelvaro-cli: " + c.message), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
  EXPECT_EQ(service.RequestCount(), 0u);
  EXPECT_EQ(RunCli({"--help"}).exitCode, 0);
  EXPECT_NE(RunCli({"--version"}).out.find("Kelvaro"), std::string::npos);
}

TEST_F(CliTest, FullWidthDepthAndWorkersReadLikeTheWindow) {
  const ChildResult run =
      RunCli({"--service", Service(), "--depth", "１", "--workers", " ２ ", "天气"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(service.RequestCount(), 1u);  // depth 1: the seed only
}

TEST_F(CliTest, InterruptStopsWritesTheDedupedPartialResultAndExits130) {
  service.SetGenerator(test::FanOutGraph(8));
  service.SetDefaultAnswer(test::Answer::Delayed(100ms));
  const auto out = dir / "partial.txt";
  ChildOptions options;
  options.whileRunning = [&](int pid) {
    ASSERT_TRUE(service.WaitForRequests(20, 20s));
    kill(pid, SIGINT);
  };
  const ChildResult run = RunCli({"--service", Service(), "--depth", "5", "--workers", "4",
                                  "--output", out.string(), "x", "x"},
                                 options);
  EXPECT_EQ(run.exitCode, 130) << run.err;
  const std::vector<std::string> items = Lines(test::ReadBytes(out), "\r\n");
  EXPECT_FALSE(items.empty());
  std::vector<std::string> unique = Sorted(items);
  EXPECT_EQ(std::unique(unique.begin(), unique.end()), unique.end()) << "repeats were kept";
  EXPECT_NE(run.err.find("stopped: "), std::string::npos) << run.err;
}

}  // namespace
}  // namespace kelvaro
