// The search task on its own: the depth rule and what one page turns into, with a
// fetcher that serves pages from memory and counts its requests.
#include "engine/search_task.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine/harvest_state.h"
#include "engine/memory_window.h"

namespace kelvaro {
namespace {

using namespace std::chrono_literals;

// A result page as FetchSearchPage gives it (CP936), listing `related`.
std::string RelatedPage(const std::vector<std::string>& related) {
  std::string page =
      "<div id=\"rs\"><table><tr><th>\xCF\xE0\xB9\xD8\xCB\xD1\xCB\xF7</th><th>";  // 相关搜索
  for (const std::string& keyword : related) page += "<a href=\"/s\">" + keyword + "</a></th><th>";
  return page + "</th></tr></table></div>";
}

class PageBook {
 public:
  explicit PageBook(std::map<std::string, std::vector<std::string>> graph)
      : graph_(std::move(graph)) {}

  PageFetcher Fetcher() {
    return [this](const std::string& keyword, const std::atomic<bool>*) {
      std::lock_guard lock(mutex_);
      ++requests_[keyword];
      auto found = graph_.find(keyword);
      return found == graph_.end() ? std::string() : RelatedPage(found->second);
    };
  }
  std::map<std::string, int> Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  std::mutex mutex_;
  std::map<std::string, std::vector<std::string>> graph_;
  std::map<std::string, int> requests_;
};

// One task for `record`, run by a pool of two until the harvest has no task left.
struct OneTask {
  OneTask(PageBook& book, int32_t maxLevel, const TaskRecord& record, size_t listLimit = SIZE_MAX) {
    window.SetListLimit(ListId::RelatedKeywords, listLimit);
    state.Pool().Create(2);
    harvest = state.BeginHarvest(window, book.Fetcher(), maxLevel);
    const int32_t index = *state.Tasks().Append(record);
    EXPECT_TRUE(SubmitSearchTask(harvest, index));
    EXPECT_TRUE(window.WaitUntil([&] { return harvest->pendingTasks.Read() == 0; }, 20s));
  }
  ~OneTask() {
    state.Pool().Stop(1ms);
    EXPECT_TRUE(state.WaitUntilQuiet(20s));
  }
  std::vector<TaskRecord> Records() {
    std::vector<TaskRecord> records;
    for (size_t i = 0; i < state.Tasks().Size(); ++i) {
      records.push_back(*state.Tasks().Read(static_cast<int32_t>(i)));
    }
    return records;
  }

  MemoryWindow window;
  HarvestState state;
  std::shared_ptr<Harvest> harvest;
};

const std::vector<std::string> kEight = {"c1", "c2", "c3", "c4", "c5", "c6", "c7", "c8"};

TEST(SearchTask, FetchesOnlyDownToMaxLevel) {
  struct Case {
    int32_t maxLevel, level;
    bool fetches;
  } cases[] = {
      {1, 1, true}, {1, 2, false}, {3, 3, true}, {3, 4, false}, {0, 1, false}, {-2, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "maxLevel " << c.maxLevel << ", level " << c.level);
    PageBook book({{"seed", kEight}});
    OneTask task(book, c.maxLevel, {"seed", c.level});
    std::vector<TaskRecord> expected = {{"seed", c.level}};
    if (c.fetches) {
      EXPECT_EQ(task.window.ListItems(ListId::RelatedKeywords), kEight);
      for (const auto& child : kEight) expected.push_back({child, c.level + 1});
      // The children lie below maxLevel: each ends without a request.
      EXPECT_EQ(book.Requests(), (std::map<std::string, int>{{"seed", 1}}));
    } else {
      EXPECT_TRUE(task.window.ListItems(ListId::RelatedKeywords).empty());
      EXPECT_TRUE(book.Requests().empty());
    }
    // Children are appended in page order: each task appends its own one by one.
    EXPECT_EQ(task.Records(), expected);
    EXPECT_EQ(task.harvest->pendingTasks.Read(), 0);
  }
}

TEST(SearchTask, EveryItemOfThePageBecomesAListItemAndATask) {
  struct Case {
    std::vector<std::string> page;
    size_t listLimit;
    std::vector<std::string> listed;
  } cases[] = {
      {{"k", "k", ""}, SIZE_MAX, {"k", "k", ""}},  // repeats and the empty item too
      {{"a", "b", "c"}, 1, {"a"}},                 // items the list refuses still become tasks
      {{}, SIZE_MAX, {}},
  };
  for (const auto& c : cases) {
    PageBook book({{"seed", c.page}});
    OneTask task(book, 2, {"seed", 1}, c.listLimit);
    EXPECT_EQ(task.window.ListItems(ListId::RelatedKeywords), c.listed);
    std::vector<TaskRecord> expected = {{"seed", 1}};
    for (const auto& child : c.page) expected.push_back({child, 2});
    EXPECT_EQ(task.Records(), expected);
    // Level 2 is still fetched: every child once, a repeated one once per listing.
    std::map<std::string, int> requests = {{"seed", 1}};
    for (const auto& child : c.page) ++requests[child];
    EXPECT_EQ(book.Requests(), requests);
  }
}

}  // namespace
}  // namespace kelvaro
