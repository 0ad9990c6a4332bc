// Stopping a harvest at each of its phases: once the stop has returned, nothing of
// that harvest changes the related list, the TaskList, pendingTasks or the queue,
// also when its abandoned tasks and controller finish long after. And the next
// harvest ends on its own tasks, however many the stop left counted.
#include <gtest/gtest.h>

#include <future>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/harvest_texts.h"
#include "tests/support/harvest_rig.h"
#include "tests/support/search_service.h"

namespace kelvaro {
namespace {

using namespace std::chrono_literals;
using test::Answer;
using test::HarvestRig;
using test::HarvestSnapshot;
using test::TestSearchService;

const std::string kSeed = "seed";

// What a stop must leave as it is: the state at the stop against the state once
// every thread of the harvest has left.
void ExpectNothingChangesAfterTheStop(HarvestRig& rig, const HarvestSnapshot& atStop) {
  ASSERT_TRUE(rig.WaitUntilQuiet());
  EXPECT_EQ(rig.Snapshot(), atStop);
}

std::vector<std::string> Numbered(const std::string& stem, int count) {
  std::vector<std::string> texts;
  for (int i = 1; i <= count; ++i) texts.push_back(stem + std::to_string(i));
  return texts;
}

TEST(HarvestStop, DuringSeeding) {
  TestSearchService service;  // knows no keyword: pages without related searches
  HarvestRig rig(SearchPageFetcher(service.Endpoint(2000)));
  rig.Set(Numbered("k", 200), "1", "2");
  rig.Start();
  ASSERT_TRUE(rig.window.WaitUntil([&] { return rig.state.Tasks().Size() >= 3; }, 20s));
  rig.Click();
  const HarvestSnapshot atStop = rig.Snapshot();
  EXPECT_EQ(atStop.caption, kStartCaption);
  EXPECT_EQ(atStop.status, kHarvestingStatus);  // no summary after a stop
  EXPECT_LT(atStop.tasks, 200u);
  EXPECT_FALSE(rig.state.Controller().IsHeld());
  ExpectNothingChangesAfterTheStop(rig, atStop);
}

// While the seeds' requests are on their way. The pages come late but do come: a
// fetch that the stop interrupts returns early with nothing, one that it cannot
// interrupt (as on Windows) returns the page, and its task must still list nothing.
TEST(HarvestStop, WhileFetchesAreInFlight) {
  for (const bool interruptible : {true, false}) {
    SCOPED_TRACE(interruptible ? "interruptible fetch" : "fetch runs to its end");
    TestSearchService service({{kSeed, Numbered("r", 4)}, {"other", Numbered("o", 4)}});
    service.SetDefaultAnswer(Answer::Delayed(300ms));
    const SearchService endpoint = service.Endpoint(5000);
    PageFetcher fetcher = SearchPageFetcher(endpoint);
    if (!interruptible) {
      fetcher = [endpoint](const std::string& keyword, const std::atomic<bool>*) {
        return FetchSearchPage(keyword, endpoint, nullptr);
      };
    }
    HarvestRig rig(fetcher);
    rig.Set({kSeed, "other"}, "2", "4");
    rig.Start();
    ASSERT_TRUE(service.WaitForRequests(2, 20s));
    rig.Click();
    const HarvestSnapshot atStop = rig.Snapshot();
    EXPECT_TRUE(atStop.related.empty());
    EXPECT_EQ(atStop.tasks, 2u);
    EXPECT_EQ(atStop.pendingTasks, 2);  // counted in, never counted out
    ExpectNothingChangesAfterTheStop(rig, atStop);

    // The next harvest waits for its own tasks only.
    service.SetDefaultAnswer(Answer{});
    rig.Set({kSeed}, "1", "4");
    rig.Start();
    ASSERT_TRUE(rig.WaitForSummary());
    EXPECT_EQ(rig.window.StatusText(), HarvestSummary(4, 4));
  }
}

TEST(HarvestStop, WhileChildrenAreBeingSubmitted) {
  TestSearchService service({{kSeed, Numbered("c", 60)}});
  HarvestRig rig(SearchPageFetcher(service.Endpoint(2000)));
  rig.Set({kSeed}, "1", "2");
  rig.Start();
  // Children are submitted 5 ms apart: stop among them.
  ASSERT_TRUE(rig.window.WaitUntil(
      [&] { return rig.window.ListCount(ListId::RelatedKeywords) >= 5; }, 20s));
  rig.Click();
  const HarvestSnapshot atStop = rig.Snapshot();
  ASSERT_LT(atStop.related.size(), 60u);
  // Each listed child has its record, except perhaps the one the stop came after.
  EXPECT_GE(atStop.tasks, atStop.related.size());
  EXPECT_LE(atStop.tasks, atStop.related.size() + 1);
  ExpectNothingChangesAfterTheStop(rig, atStop);
}

// A stop that comes after the controller has stopped waiting: the controller can no
// longer be called off and de-duplicates the list too. The stop comes just as the
// controller is about to count the list, and while the stop's pass processes events
// the window waits a little for hand-overs, giving the controller's pass every chance
// to cut in. It must wait for the stop's pass instead.
TEST(HarvestStop, AfterTheControllerStoppedWaitingThePassesDoNotInterleave) {
  TestSearchService service;
  HarvestRig rig(SearchPageFetcher(service.Endpoint(2000)));
  rig.Set({}, "1", "2");
  rig.window.SetListItems(ListId::RelatedKeywords, {"x", "y", "x", "z", "y", "x"});
  int waits = 0;
  rig.recorder.SetBeforeProcessEvents([&] {
    if (++waits <= 3) rig.window.WaitForHandOver(100ms);
  });
  std::thread stopper;
  std::promise<void> stopperStarted;
  bool fired = false;  // the controller counts twice: stop at the first
  rig.recorder.SetBeforeRelatedCountElsewhere([&] {
    if (std::exchange(fired, true)) return;
    EXPECT_FALSE(rig.state.Controller().IsHeld());
    stopper = std::thread([&] { rig.Click(); });  // the caption still says "stop"
    stopperStarted.set_value();
    EXPECT_TRUE(rig.recorder.WaitForRelatedClears(1, 20s));  // the stop's pass has begun
  });
  rig.Start();
  // The test thread hands nothing over meanwhile: what the stop's pass sees waiting
  // comes from the controller.
  ASSERT_EQ(stopperStarted.get_future().wait_for(20s), std::future_status::ready);
  stopper.join();
  ASSERT_TRUE(rig.WaitForSummary());
  ASSERT_TRUE(rig.WaitUntilQuiet());
  EXPECT_FALSE(rig.recorder.PassesInterleaved());
  EXPECT_EQ(rig.recorder.RelatedClears(), 2);
  EXPECT_EQ(rig.Related(), (std::vector<std::string>{"x", "y", "z"}));
  EXPECT_TRUE(rig.window.StatusText().ends_with("(3)"));
  EXPECT_EQ(rig.window.ButtonCaption(), kStartCaption);
}

// The stop's pass lets the window process its events, clicks included. Clicks that
// come during the pass are taken up after it, in order: a stop inside the pass would
// wait for the pass it sits in.
TEST(HarvestStop, ClicksDuringTheStopPassComeAfterIt) {
  TestSearchService service;
  service.SetDefaultAnswer(Answer::Stall());
  HarvestRig rig(SearchPageFetcher(service.Endpoint(1000)));
  rig.Set({kSeed}, "1", "2");
  rig.window.SetListItems(ListId::RelatedKeywords, {"x", "x", "y"});
  rig.Start();
  ASSERT_TRUE(service.WaitForRequests(1, 20s));

  int calls = 0;
  HarvestSnapshot inPass;
  rig.recorder.SetBeforeProcessEvents([&] {
    if (++calls != 1) return;
    rig.runControl.OnStartStopClicked();  // start again ...
    rig.runControl.OnStartStopClicked();  // ... and stop again
    inPass = rig.Snapshot();
  });
  const std::shared_ptr<Harvest> first = rig.state.CurrentHarvest();
  rig.Click();  // stop
  rig.recorder.SetBeforeProcessEvents({});
  EXPECT_EQ(inPass.caption, kStartCaption);  // neither click had run yet
  EXPECT_EQ(inPass.tasks, 1u);
  // Afterwards: stopped, then a new harvest started, then that one stopped.
  EXPECT_NE(rig.state.CurrentHarvest(), first);
  EXPECT_EQ(rig.window.ButtonCaption(), kStartCaption);
  EXPECT_EQ(rig.recorder.RelatedClears(), 2);
  EXPECT_EQ(rig.Related(), (std::vector<std::string>{"x", "y"}));
}

// Many quick start/stop cycles against a slow service, each stop at a different
// point, then a harvest that must end with the right counts.
TEST(HarvestStop, ManyStartStopCycles) {
  TestSearchService service;
  service.SetGenerator(test::FanOutGraph(8));
  service.SetDefaultAnswer(Answer::Delayed(20ms));
  HarvestRig rig(SearchPageFetcher(service.Endpoint(2000)));
  rig.Set({kSeed, "other"}, "2", "20");
  HarvestSnapshot lastStop;
  for (int cycle = 0; cycle < 50; ++cycle) {
    if (cycle > 0) {
      EXPECT_EQ(rig.Snapshot(), lastStop) << "cycle " << cycle;
    }
    rig.Start();
    const size_t requests = service.RequestCount();
    if (cycle % 3 > 0) service.WaitForRequests(requests + static_cast<size_t>(cycle % 5), 5s);
    if (cycle % 3 == 2) {
      rig.window.WaitUntil([&] { return rig.window.ListCount(ListId::RelatedKeywords) > 0; },
                           200ms);
    }
    rig.Click();
    lastStop = rig.Snapshot();
    ASSERT_EQ(lastStop.caption, kStartCaption);
    const std::set<std::string> distinct(lastStop.related.begin(), lastStop.related.end());
    ASSERT_EQ(distinct.size(), lastStop.related.size()) << "cycle " << cycle;
  }
  ASSERT_TRUE(rig.WaitUntilQuiet());
  EXPECT_EQ(rig.Snapshot(), lastStop);

  rig.window.ListClear(ListId::RelatedKeywords);
  service.SetDefaultAnswer(Answer{});
  rig.Start();
  ASSERT_TRUE(rig.WaitForSummary());
  // 2 seeds with 8 each, then those 16 with 8 each; every keyword is new.
  EXPECT_EQ(rig.window.StatusText(), HarvestSummary(16 + 128, 16 + 128));
}

}  // namespace
}  // namespace kelvaro
