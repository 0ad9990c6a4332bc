// kelvaro-cli's run: check everything the user gave before a request is sent, harvest
// through an in-memory window, show progress, and write the result.
#include "cli/cli_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <system_error>

#include "app/ini_file.h"
#include "app/product.h"
#include "app/run_directory.h"
#include "app/settings.h"
#include "cli/cli_options.h"
#include "engine/harvest_state.h"
#include "engine/harvest_texts.h"
#include "engine/memory_window.h"
#include "engine/run_control.h"
#include "engine/search_request.h"
#include "lists/keyword_file.h"
#include "platform/file_io.h"
#include "platform/interrupt.h"
#include "platform/process.h"
#include "platform/terminal.h"

namespace kelvaro {
namespace {

using namespace std::chrono_literals;

constexpr std::string_view kSummaryPrefix = "\xB2\xC9\xBC\xAF\xCD\xEA\xB3\xC9";  // 采集完成

int UsageError(const std::string& message) {
  WriteTerminal(StandardStream::Error, "kelvaro-cli: " + message + "\n");
  return kUsageExitCode;
}

std::string PathText(const std::filesystem::path& path) {
  const auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

// Everything a harvest needs, checked and converted to CP936.
struct RunPlan {
  std::vector<std::string> seeds;
  std::string depthText;
  std::string workersText;
  SearchService service;
  std::optional<std::filesystem::path> outputFile;
  KeywordFileEncoding outputEncoding = KeywordFileEncoding::Cp936;
  bool showProgress = false;
  bool showSummary = false;
};

// Lines of standard input in the terminal's encoding, with the import's blank rule.
std::vector<std::string> SeedsFromStandardInput() {
  std::vector<std::string> seeds;
  const std::string bytes = ReadAllStandardInput();
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string_view line(bytes.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string keyword = TerminalToAnsi(line);
    if (IsKeywordLine(keyword)) seeds.push_back(std::move(keyword));
    start = end + 1;
  }
  return seeds;
}

bool CanReadFile(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return false;
  return std::ifstream(file, std::ios::binary).is_open();
}

// Whether a file can be written at `file`: a scratch file beside it is created and
// removed, which also works where permission bits say nothing (as root).
bool CanWriteFile(const std::filesystem::path& file) {
  std::error_code error;
  if (std::filesystem::is_directory(file, error)) return false;
  const std::filesystem::path directory =
      file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  const std::filesystem::path scratch =
      directory / (".kelvaro-cli-check-" + std::to_string(std::random_device{}()));
  const bool created = std::ofstream(scratch, std::ios::binary).is_open();
  std::filesystem::remove(scratch, error);
  return created;
}

// Builds the plan, or gives the usage error's exit status.
std::optional<int> MakePlan(const CliOptions& options, RunPlan& plan) {
  const std::filesystem::path settingsFile = SettingsFilePath(RunDirectoryOf(ProgramPath()));
  const std::string section(kSettingsSection);
  auto setting = [&](const std::optional<std::string>& given, std::string_view key,
                     std::string_view fallback, const char* option,
                     std::string& out) -> std::optional<int> {
    if (!given) {
      out = ReadIniText(settingsFile, section, std::string(key), std::string(fallback));
      return std::nullopt;
    }
    out = TerminalToAnsi(*given);
    if (!IsWholeNumber(out)) return UsageError(std::string(option) + ": not a number: " + *given);
    return std::nullopt;
  };
  if (auto failed =
          setting(options.depthText, kDepthKey, kDefaultDepth, "--depth", plan.depthText)) {
    return failed;
  }
  if (auto failed = setting(options.workersText, kWorkerCountKey, kDefaultWorkerCount, "--workers",
                            plan.workersText)) {
    return failed;
  }

  for (const std::string& seed : options.seeds) {
    if (seed == "-") continue;  // standard input, read below
    plan.seeds.push_back(TerminalToAnsi(seed));
  }
  const bool dashSeed =
      std::find(options.seeds.begin(), options.seeds.end(), "-") != options.seeds.end();
  if (options.seedsFile && PathText(*options.seedsFile) != "-") {
    if (!CanReadFile(*options.seedsFile)) {
      return UsageError("cannot read the seeds file " + PathText(*options.seedsFile));
    }
    for (std::string& seed :
         ParseKeywordFile(ReadWholeFile(*options.seedsFile), options.fileEncoding)) {
      plan.seeds.push_back(std::move(seed));
    }
  }
  const bool stdinNamed = dashSeed || (options.seedsFile && PathText(*options.seedsFile) == "-");
  if (stdinNamed || (plan.seeds.empty() && !IsTerminal(StandardStream::Input))) {
    for (std::string& seed : SeedsFromStandardInput()) plan.seeds.push_back(std::move(seed));
  }
  if (plan.seeds.empty()) {
    return UsageError(
        "no seed keywords: give them as arguments, with --seeds FILE, or on "
        "standard input");
  }

  if (options.outputFile) {
    if (!CanWriteFile(*options.outputFile)) {
      return UsageError("cannot write the output file " + PathText(*options.outputFile));
    }
    plan.outputFile = options.outputFile;
    plan.outputEncoding = options.fileEncoding == KeywordFileEncoding::Utf8
                              ? KeywordFileEncoding::Utf8
                              : KeywordFileEncoding::Cp936;
  }
  if (options.serviceUrl) {
    const auto address = ParseServiceUrl(*options.serviceUrl);
    plan.service.host = address->host;
    plan.service.port = address->port;
  }
  plan.showSummary = !options.quiet;
  plan.showProgress = !options.quiet && IsTerminal(StandardStream::Error);
  return std::nullopt;
}

std::string ProgressLine(int fetched, int pending, int found) {
  char line[96];
  std::snprintf(line, sizeof(line), "\rfetched %d, pending %d, found %d\x1b[K", fetched, pending,
                found);
  return line;
}

// What a harvest gives: the related list and how it ended.
struct HarvestOutcome {
  std::vector<std::string> related;
  std::string summary;  // the window's summary text, or the CLI's own after a stop
  bool interrupted = false;
};

// The window, the harvest state and the run control of one run, in the order they
// must be taken down.
struct HarvestSession {
  explicit HarvestSession(const RunPlan& plan)
      : service(plan.service),
        control(window, state, [this](const std::string& keyword, const std::atomic<bool>* cancel) {
          std::string page = FetchSearchPage(keyword, service, cancel);
          fetched.fetch_add(1, std::memory_order_relaxed);
          return page;
        }) {
    window.SetButtonHandler([this] { control.OnStartStopClicked(); });
  }

  SearchService service;
  std::atomic<int> fetched{0};
  MemoryWindow window{std::string(kStartCaption)};
  HarvestState state;
  RunControl control;
};

HarvestOutcome RunHarvest(HarvestSession& session, const RunPlan& plan,
                          const std::atomic<bool>& interrupted) {
  MemoryWindow& window = session.window;
  window.SetListItems(ListId::Keywords, plan.seeds);
  window.SetEditText(EditId::Depth, plan.depthText);
  window.SetEditText(EditId::WorkerCount, plan.workersText);

  HarvestOutcome outcome;
  window.Click();
  auto finished = [&window] { return window.StatusText().starts_with(kSummaryPrefix); };
  while (!window.WaitUntil(finished, 200ms)) {
    if (interrupted.load()) {
      window.Invoke([&] {
        if (window.ButtonCaption() == kStartCaption) return;  // it ended just now
        const int found = window.ListCount(ListId::RelatedKeywords);
        session.control.StopHarvest();
        const int kept = window.ListCount(ListId::RelatedKeywords);
        outcome.interrupted = true;
        outcome.summary = "stopped: " + std::to_string(found) + " related keywords, " +
                          std::to_string(kept) + " after removing repeats";
      });
      if (outcome.interrupted) break;
    }
    if (plan.showProgress) {
      WriteTerminal(StandardStream::Error,
                    ProgressLine(session.fetched.load(), session.state.PendingTasks(),
                                 window.ListCount(ListId::RelatedKeywords)));
    }
  }
  if (plan.showProgress) WriteTerminal(StandardStream::Error, "\r\x1b[K");
  if (!outcome.interrupted) outcome.summary = AnsiToTerminal(window.StatusText());
  outcome.related = window.ListItems(ListId::RelatedKeywords);
  // Let the idle pool go too: every harvest thread then winds down.
  window.Invoke([&session] { session.control.AbortHarvest(); });
  return outcome;
}

}  // namespace

int RunCli(const std::vector<std::string>& args) {
  const CliParse parse = ParseCommandLine(args);
  if (!parse.error.empty()) return UsageError(parse.error);
  if (parse.options.help) {
    WriteTerminal(StandardStream::Output, UsageText());
    return 0;
  }
  if (parse.options.version) {
    WriteTerminal(StandardStream::Output, std::string(kProductName) + " kelvaro-cli 0.1.0\n");
    return 0;
  }
  RunPlan plan;
  if (auto failed = MakePlan(parse.options, plan)) return *failed;

  std::atomic<bool> interrupted{false};
  WatchInterrupts(interrupted);
  auto session = std::make_unique<HarvestSession>(plan);
  const HarvestOutcome outcome = RunHarvest(*session, plan, interrupted);

  int status = outcome.interrupted ? kInterruptedExitCode : 0;
  if (plan.outputFile) {
    if (!WriteWholeFile(*plan.outputFile,
                        FormatKeywordFile(outcome.related, plan.outputEncoding))) {
      WriteTerminal(StandardStream::Error,
                    "kelvaro-cli: cannot write " + PathText(*plan.outputFile) + "\n");
      status = 1;
    }
  } else {
    std::string text;
    for (const std::string& keyword : outcome.related) text += AnsiToTerminal(keyword) + "\n";
    WriteTerminal(StandardStream::Output, text);
  }
  if (plan.showSummary) WriteTerminal(StandardStream::Error, outcome.summary + "\n");
  // A thread that is still out (a fetch that cannot be interrupted runs out its
  // time-outs) may yet touch the session, so it is only taken down once all have left;
  // otherwise the process's end takes it.
  if (!session->state.WaitUntilQuiet(3s)) session.release();
  return status;
}

}  // namespace kelvaro
