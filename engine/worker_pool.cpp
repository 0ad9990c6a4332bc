// The pool of worker threads; see worker_pool.h.
#include "engine/worker_pool.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <optional>
#include <system_error>

namespace kelvaro {

struct WorkerPool::Core {
  struct Item {
    Routine routine;  // empty for a stop item
    int32_t argument = 0;
  };

  std::mutex mutex;
  std::condition_variable itemQueued;
  std::condition_variable workerLeft;
  std::deque<Item> queue;
  State state = State::Running;
  bool closed = false;
  uint32_t workerCount = 0;
  uint32_t liveWorkers = 0;

  void RunWorker();
};

void WorkerPool::Core::RunWorker() {
  std::unique_lock lock(mutex);
  for (;;) {
    itemQueued.wait(lock, [this] { return closed || !queue.empty(); });
    if (closed) break;
    Item item = std::move(queue.front());
    queue.pop_front();
    if (!item.routine) break;
    lock.unlock();
    item.routine(item.argument);
    item = {};  // drop what the routine holds before taking the lock again
    lock.lock();
  }
  --liveWorkers;
  workerLeft.notify_all();
}

WorkerPool::WorkerPool(ThreadStarter starter) : starter_(std::move(starter)) {}

WorkerPool::~WorkerPool() {
  std::shared_ptr<Core> core = CurrentCore();
  if (!core) return;
  std::deque<Core::Item> discarded;
  {
    std::lock_guard lock(core->mutex);
    core->closed = true;
    discarded.swap(core->queue);
    core->state = State::Stopped;
  }
  core->itemQueued.notify_all();
}

std::shared_ptr<WorkerPool::Core> WorkerPool::CurrentCore() const {
  std::lock_guard lock(mutex_);
  return core_;
}

uint32_t WorkerPool::Create(uint32_t count) {
  std::lock_guard lock(mutex_);
  if (core_) {
    std::lock_guard coreLock(core_->mutex);
    if (core_->state == State::Running) return core_->workerCount;
  }
  core_.reset();
  if (count == 0) count = kDefaultWorkers;
  count = std::min(count, kMaxWorkers);

  auto core = std::make_shared<Core>();
  for (uint32_t i = 0; i < count; ++i) {
    {
      std::lock_guard coreLock(core->mutex);
      ++core->liveWorkers;
    }
    try {
      starter_([core] { core->RunWorker(); });
    } catch (const std::system_error&) {
      // The system will start no more threads now; run with those it did start.
      std::lock_guard coreLock(core->mutex);
      --core->liveWorkers;
      break;
    }
    std::lock_guard coreLock(core->mutex);
    ++core->workerCount;
  }
  std::lock_guard coreLock(core->mutex);
  if (core->workerCount == 0) return 0;
  core_ = core;
  return core->workerCount;
}

bool WorkerPool::Submit(Routine routine, int32_t argument) {
  return SubmitUnless(std::move(routine), argument, nullptr);
}

bool WorkerPool::Submit(Routine routine, int32_t argument, const CancellationMark& mark) {
  return SubmitUnless(std::move(routine), argument, &mark);
}

bool WorkerPool::SubmitUnless(Routine routine, int32_t argument, const CancellationMark* mark) {
  std::shared_ptr<Core> core = CurrentCore();
  if (!core || !routine) return false;
  {
    std::lock_guard lock(core->mutex);
    if (core->state != State::Running || (mark && mark->IsSet())) return false;
    core->queue.push_back({std::move(routine), argument});
  }
  core->itemQueued.notify_one();
  return true;
}

void WorkerPool::Stop(std::chrono::milliseconds grace) {
  std::shared_ptr<Core> core = CurrentCore();
  if (!core) return;
  std::unique_lock lock(core->mutex);
  if (core->state != State::Running) return;
  core->state = State::Stopping;
  for (uint32_t i = 0; i < core->workerCount; ++i) core->queue.push_back({});
  core->itemQueued.notify_all();
  if (!core->workerLeft.wait_for(lock, grace, [&] { return core->liveWorkers == 0; })) {
    core->closed = true;
    std::deque<Core::Item> discarded;
    discarded.swap(core->queue);
    core->state = State::Stopped;
    lock.unlock();
    core->itemQueued.notify_all();
    return;  // the discarded items are dropped here, outside the lock
  }
  core->state = State::Stopped;
}

WorkerPool::State WorkerPool::GetState() const {
  std::shared_ptr<Core> core = CurrentCore();
  if (!core) return State::None;
  std::lock_guard lock(core->mutex);
  return core->state;
}

uint32_t WorkerPool::WorkerCount() const {
  std::shared_ptr<Core> core = CurrentCore();
  if (!core) return 0;
  std::lock_guard lock(core->mutex);
  return core->workerCount;
}

size_t WorkerPool::QueuedItems() const {
  std::shared_ptr<Core> core = CurrentCore();
  if (!core) return 0;
  std::lock_guard lock(core->mutex);
  return core->queue.size();
}

}  // namespace kelvaro
