// The WorkerPool: create and reuse, the worker-count limits, order, and the stop
// with its grace period.
#include "engine/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <vector>

#include "engine/harvest_state.h"

namespace kelvaro {
namespace {

using namespace std::chrono_literals;

// A starter that starts no thread at all, or refuses after `allowed` starts; the
// bodies it was given are kept and never run.
struct FakeStarter {
  size_t allowed = SIZE_MAX;
  std::vector<std::function<void()>> bodies;

  ThreadStarter Get() {
    return [this](std::function<void()> body) {
      if (bodies.size() >= allowed) {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
      }
      bodies.push_back(std::move(body));
    };
  }
};

// Opens once, for every waiter.
class Gate {
 public:
  void Open() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    opened_.notify_all();
  }
  void Wait() {
    std::unique_lock lock(mutex_);
    opened_.wait(lock, [this] { return open_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

TEST(WorkerPool, CreateReuseAndCountLimits) {
  struct Case {
    uint32_t count;
    uint32_t workers;
  } cases[] = {
      {0, WorkerPool::kDefaultWorkers},
      {5, 5},
      {256, 256},
      {257, WorkerPool::kMaxWorkers},
      {static_cast<uint32_t>(-5), WorkerPool::kMaxWorkers},  // a negative count, as unsigned
  };
  for (const auto& c : cases) {
    FakeStarter starter;
    WorkerPool pool(starter.Get());
    EXPECT_EQ(pool.Create(c.count), c.workers) << c.count;
    EXPECT_EQ(starter.bodies.size(), c.workers);
    EXPECT_EQ(pool.GetState(), WorkerPool::State::Running);
  }

  FakeStarter starter;
  WorkerPool pool(starter.Get());
  EXPECT_EQ(pool.GetState(), WorkerPool::State::None);
  EXPECT_FALSE(pool.Submit([](int32_t) {}, 0));
  pool.Stop(1ms);  // nothing to stop
  EXPECT_EQ(pool.GetState(), WorkerPool::State::None);

  EXPECT_EQ(pool.Create(8), 8u);
  EXPECT_EQ(pool.Create(5), 8u);  // a running pool stays, with its count
  EXPECT_EQ(starter.bodies.size(), 8u);
  pool.Stop(1ms);  // these workers never run, so the grace period runs out
  EXPECT_EQ(pool.GetState(), WorkerPool::State::Stopped);
  EXPECT_FALSE(pool.Submit([](int32_t) {}, 0));
  pool.Stop(1ms);
  EXPECT_EQ(pool.GetState(), WorkerPool::State::Stopped);
  EXPECT_EQ(pool.Create(5), 5u);
  EXPECT_EQ(starter.bodies.size(), 13u);
}

TEST(WorkerPool, RunsWithTheWorkersTheSystemWillStart) {
  FakeStarter some{.allowed = 3};
  WorkerPool pool(some.Get());
  EXPECT_EQ(pool.Create(10), 3u);
  EXPECT_EQ(pool.WorkerCount(), 3u);

  FakeStarter none{.allowed = 0};
  WorkerPool empty(none.Get());
  EXPECT_EQ(empty.Create(10), 0u);
  EXPECT_EQ(empty.GetState(), WorkerPool::State::None);
  EXPECT_FALSE(empty.Submit([](int32_t) {}, 0));
}

TEST(WorkerPool, TakesItemsFirstInFirstOut) {
  HarvestState state;  // counts the workers, so the test can wait for them to leave
  WorkerPool& pool = state.Pool();
  ASSERT_EQ(pool.Create(1), 1u);
  Gate gate;
  std::mutex mutex;
  std::vector<int32_t> order;
  pool.Submit([&](int32_t) { gate.Wait(); }, -1);
  for (int32_t i = 0; i < 20; ++i) {
    pool.Submit(
        [&](int32_t argument) {
          std::lock_guard lock(mutex);
          order.push_back(argument);
        },
        i);
  }
  gate.Open();
  pool.Stop(10s);  // the stop items queue behind the work, so all of it runs
  EXPECT_EQ(pool.GetState(), WorkerPool::State::Stopped);
  std::vector<int32_t> expected;
  for (int32_t i = 0; i < 20; ++i) expected.push_back(i);
  EXPECT_EQ(order, expected);
  EXPECT_TRUE(state.WaitUntilQuiet(10s));
}

TEST(WorkerPool, StopAfterTheGracePeriodDiscardsQueuedItems) {
  HarvestState state;
  WorkerPool& pool = state.Pool();
  ASSERT_EQ(pool.Create(2), 2u);
  Gate running, release;
  std::atomic<int> started{0};
  std::atomic<int> queuedRan{0};
  for (int i = 0; i < 2; ++i) {
    pool.Submit(
        [&](int32_t) {
          if (++started == 2) running.Open();
          release.Wait();
        },
        i);
  }
  running.Wait();  // both workers are busy
  for (int i = 0; i < 10; ++i) pool.Submit([&](int32_t) { ++queuedRan; }, i);
  EXPECT_EQ(pool.QueuedItems(), 10u);

  pool.Stop(1ms);
  EXPECT_EQ(pool.GetState(), WorkerPool::State::Stopped);
  EXPECT_EQ(pool.QueuedItems(), 0u);
  EXPECT_FALSE(pool.Submit([&](int32_t) { ++queuedRan; }, 0));

  release.Open();  // the abandoned workers finish their items and leave
  ASSERT_TRUE(state.WaitUntilQuiet(10s));
  EXPECT_EQ(queuedRan, 0);
  EXPECT_EQ(pool.Create(3), 3u);  // a new pool after a stop
  EXPECT_TRUE(pool.Submit([](int32_t) {}, 0));
}

TEST(WorkerPool, RefusesSubmissionsOfACalledOffHarvest) {
  FakeStarter starter;
  WorkerPool pool(starter.Get());
  pool.Create(1);
  CancellationMark mark;
  EXPECT_TRUE(pool.Submit([](int32_t) {}, 0, mark));
  mark.Set();
  EXPECT_FALSE(pool.Submit([](int32_t) {}, 1, mark));
  EXPECT_EQ(pool.QueuedItems(), 1u);
}

}  // namespace
}  // namespace kelvaro
