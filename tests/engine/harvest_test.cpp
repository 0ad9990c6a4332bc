// Whole harvests through the run control, the in-memory window and the test search
// service: what a depth yields, the summary, the pool's reuse, and the cases in which
// a harvest has no controller or no worker.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "engine/harvest_texts.h"
#include "tests/support/harvest_rig.h"
#include "tests/support/search_service.h"

namespace kelvaro {
namespace {

using namespace std::chrono_literals;
using test::HarvestRig;
using test::TestSearchService;

const std::string kApple = "\xC6\xBB\xB9\xFB";   // 苹果
const std::string kBanana = "\xCF\xE3\xBD\xB6";  // 香蕉
const std::string kFruit = "\xCB\xAE\xB9\xFB";   // 水果
const std::string kB = "apple";
const std::string kE = "Fruit";

// Repeats on one page, a way back up to the seed, and a page without a table.
test::KeywordGraph Graph() {
  return {{kApple, {kB, kBanana, kB}},
          {kB, {kFruit, kApple}},
          {kBanana, {kFruit, kE}},
          {kFruit, {kApple}},
          {kE, {}}};
}

std::vector<std::string> Sorted(std::vector<std::string> texts) {
  std::sort(texts.begin(), texts.end());
  return texts;
}

std::map<std::string, size_t> RequestCounts(const TestSearchService& service) {
  std::map<std::string, size_t> counts;
  for (const auto& request : service.Requests()) ++counts[request.keyword.value_or("?")];
  return counts;
}

TEST(Harvest, DepthGivesExactlyTheExpectedKeywords) {
  struct Case {
    std::vector<std::string> seeds;
    std::string depth, workers;
    std::vector<std::string> existing;  // in the related list before the start
    std::vector<std::string> before;    // the related list before de-duplication
    bool ordered;                       // one worker and one seed: the order is fixed
    std::vector<std::string> after;
    std::map<std::string, size_t> requests;
  } cases[] = {
      {{kApple}, "abc", "1", {}, {}, true, {}, {}},
      {{kApple}, "\xA3\xB1", "1", {}, {kB, kBanana, kB}, true, {kB, kBanana}, {{kApple, 1}}},
      {{kApple},
       " 2x",
       "1",
       {},
       {kB, kBanana, kB, kFruit, kApple, kFruit, kE, kFruit, kApple},
       true,
       {kB, kBanana, kFruit, kApple, kE},
       {{kApple, 1}, {kB, 2}, {kBanana, 1}}},
      {{kApple},
       "3",
       "1",
       {},
       {kB, kBanana, kB, kFruit, kApple, kFruit, kE, kFruit, kApple, kApple, kB, kBanana, kB,
        kApple, kApple, kB, kBanana, kB},
       true,
       {kB, kBanana, kFruit, kApple, kE},
       {{kApple, 3}, {kB, 2}, {kBanana, 1}, {kFruit, 3}, {kE, 1}}},
      {{kApple},
       "3",
       "",
       {},
       {kB, kBanana, kB, kFruit, kApple, kFruit, kE, kFruit, kApple, kApple, kB, kBanana, kB,
        kApple, kApple, kB, kBanana, kB},
       false,
       {kB, kBanana, kFruit, kApple, kE},
       {{kApple, 3}, {kB, 2}, {kBanana, 1}, {kFruit, 3}, {kE, 1}}},
      // A seed listed twice is fetched twice; old items are kept and counted.
      {{kApple, kApple},
       "1",
       "4",
       {kB, "old"},
       {kB, "old", kB, kBanana, kB, kB, kBanana, kB},
       false,
       {kB, "old", kBanana},
       {{kApple, 2}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "depth '" << c.depth << "', workers '" << c.workers << "'");
    TestSearchService service(Graph());
    HarvestRig rig(SearchPageFetcher(service.Endpoint(5000)));
    rig.Set(c.seeds, c.depth, c.workers);
    rig.window.SetListItems(ListId::RelatedKeywords, c.existing);
    rig.Start();
    ASSERT_TRUE(rig.WaitForSummary());

    const std::vector<std::string> before = rig.recorder.ItemsAtLastClear();
    const std::vector<std::string> after = rig.Related();
    if (c.ordered) {
      EXPECT_EQ(before, c.before);
      EXPECT_EQ(after, c.after);
    } else {
      // Old items stay in front; the first occurrence of each text survives.
      EXPECT_EQ(Sorted(before), Sorted(c.before));
      EXPECT_EQ(Sorted(after), Sorted(c.after));
      EXPECT_TRUE(std::equal(c.existing.begin(), c.existing.end(), after.begin()));
    }
    EXPECT_EQ(rig.window.StatusText(),
              HarvestSummary(static_cast<int>(c.before.size()), static_cast<int>(c.after.size())));
    EXPECT_EQ(RequestCounts(service), c.requests);
    EXPECT_EQ(rig.state.PendingTasks(), 0);
  }
}

TEST(Harvest, EmptySeedListEndsAtOnceAndDeduplicatesTheOldItems) {
  TestSearchService service(Graph());
  HarvestRig rig(SearchPageFetcher(service.Endpoint(5000)));
  rig.Set({}, "1", "2");
  rig.window.SetListItems(ListId::RelatedKeywords, {"a", "B", "a", "b", "", ""});
  rig.Start();
  ASSERT_TRUE(rig.WaitForSummary());
  EXPECT_EQ(rig.Related(), (std::vector<std::string>{"a", "B", "b", ""}));
  // 采集完成,相关关键字共(6)个,排除重复后还剩(4)
  EXPECT_EQ(rig.window.StatusText(),
            "\xB2\xC9\xBC\xAF\xCD\xEA\xB3\xC9,\xCF\xE0\xB9\xD8\xB9\xD8\xBC\xFC\xD7\xD6\xB9\xB2(6)"
            "\xB8\xF6,\xC5\xC5\xB3\xFD\xD6\xD8\xB8\xB4\xBA\xF3\xBB\xB9\xCA\xA3(4)");
  EXPECT_EQ(rig.window.ButtonCaption(), "\xBF\xAA\xCA\xBC\xB2\xC9\xBC\xAF");  // 开始采集
  EXPECT_EQ(service.RequestCount(), 0u);
}

TEST(Harvest, UnreachableServiceStillEndsWithTheSummary) {
  SearchService closed;
  {
    TestSearchService gone;
    closed = gone.Endpoint(1000);
  }  // nothing listens on the port any more
  HarvestRig rig(SearchPageFetcher(closed));
  rig.Set({kApple, kBanana, "x"}, "3", "2");
  rig.Start();
  ASSERT_TRUE(rig.WaitForSummary());
  EXPECT_EQ(rig.window.StatusText(), HarvestSummary(0, 0));
  EXPECT_EQ(rig.state.Tasks().Size(), 3u);
}

TEST(Harvest, PoolIsKeptAfterANormalEndAndRenewedAfterAStop) {
  TestSearchService service(Graph());
  HarvestRig rig(SearchPageFetcher(service.Endpoint(5000)));
  rig.Set({kApple}, "1", "8");
  rig.Start();
  ASSERT_TRUE(rig.WaitForSummary());
  EXPECT_EQ(rig.state.Pool().WorkerCount(), 8u);

  rig.window.SetEditText(EditId::WorkerCount, "5");
  rig.Start();
  ASSERT_TRUE(rig.WaitForSummary());
  EXPECT_EQ(rig.state.Pool().WorkerCount(), 8u);  // the running pool, 5 ignored

  rig.Start();
  rig.Click();  // stop
  EXPECT_EQ(rig.state.Pool().GetState(), WorkerPool::State::Stopped);
  rig.Start();
  EXPECT_EQ(rig.state.Pool().WorkerCount(), 5u);
  ASSERT_TRUE(rig.WaitForSummary());

  rig.Start();
  rig.Click();
  rig.window.SetEditText(EditId::WorkerCount, "abc");  // no digits: the default
  rig.Start();
  EXPECT_EQ(rig.state.Pool().WorkerCount(), WorkerPool::kDefaultWorkers);
  ASSERT_TRUE(rig.WaitForSummary());
}

// Lets through `allowed` thread starts, then refuses one, then lets all through.
ThreadStarter RefuseOneStart(std::shared_ptr<std::atomic<int>> allowed) {
  return [allowed](std::function<void()> body) {
    if ((*allowed)-- == 0) {
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
    StartDetachedThread(std::move(body));
  };
}

TEST(Harvest, ControllerThatCannotStartLeavesTheCaptionUntilTheNextClick) {
  TestSearchService service(Graph());
  // Two workers start, the controller does not.
  HarvestRig rig(SearchPageFetcher(service.Endpoint(5000)),
                 RefuseOneStart(std::make_shared<std::atomic<int>>(2)));
  rig.Set({kApple}, "1", "2");
  rig.Start();
  EXPECT_EQ(rig.window.ButtonCaption(), kStopCaption);
  EXPECT_FALSE(rig.state.Controller().IsHeld());
  EXPECT_EQ(rig.state.Tasks().Size(), 0u);  // nothing seeded

  rig.Click();
  EXPECT_EQ(rig.window.ButtonCaption(), kStartCaption);
  rig.Start();  // and the next start works
  ASSERT_TRUE(rig.WaitForSummary());
  EXPECT_EQ(rig.window.StatusText(), HarvestSummary(3, 2));
}

TEST(Harvest, PoolWithoutAnyWorkerStillEnds) {
  TestSearchService service(Graph());
  // The first worker cannot start, so the pool gets none; the controller starts.
  HarvestRig rig(SearchPageFetcher(service.Endpoint(5000)),
                 RefuseOneStart(std::make_shared<std::atomic<int>>(0)));
  rig.Set({kApple, kBanana}, "2", "3");
  rig.Start();
  ASSERT_TRUE(rig.WaitForSummary());
  EXPECT_EQ(rig.state.Pool().GetState(), WorkerPool::State::None);
  EXPECT_EQ(rig.window.StatusText(), HarvestSummary(0, 0));
  EXPECT_EQ(rig.state.PendingTasks(), 0);
  EXPECT_EQ(service.RequestCount(), 0u);
}

}  // namespace
}  // namespace kelvaro
