// The harvest state; see harvest_state.h.
#include "engine/harvest_state.h"

#include <condition_variable>

namespace kelvaro {

struct HarvestState::ThreadCount {
  std::mutex mutex;
  std::condition_variable changed;
  int live = 0;

  void Change(int delta) {
    {
      std::lock_guard lock(mutex);
      live += delta;
    }
    changed.notify_all();
  }
};

HarvestState::HarvestState(ThreadStarter starter)
    : threads_(std::make_shared<ThreadCount>()),
      starter_(CountingStarter(std::move(starter),
                               [threads = threads_](int delta) { threads->Change(delta); })),
      taskList_(std::make_shared<TaskList>()),
      workerPool_(std::make_shared<WorkerPool>(starter_)),
      controllerThread_(std::make_shared<ControllerThread>()),
      relatedListPass_(std::make_shared<std::mutex>()) {}

HarvestState::~HarvestState() {
  // A harvest still running is called off, so its threads stop changing things and
  // the queued tasks (which hold the harvest, which holds the pool) are dropped.
  if (current_) controllerThread_->CancelAndRelease(current_->mark);
  workerPool_->Stop(std::chrono::milliseconds(0));
}

void HarvestState::StartThread(std::function<void()> body) {
  starter_(std::move(body));
}

int HarvestState::LiveThreads() const {
  std::lock_guard lock(threads_->mutex);
  return threads_->live;
}

bool HarvestState::WaitUntilQuiet(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(threads_->mutex);
  return threads_->changed.wait_for(lock, timeout, [&] { return threads_->live == 0; });
}

std::shared_ptr<Harvest> HarvestState::BeginHarvest(Window& window, PageFetcher fetchPage,
                                                    int32_t maxLevel) {
  std::lock_guard lock(mutex_);
  current_ = std::make_shared<Harvest>(window, std::move(fetchPage), maxLevel, ++serial_, taskList_,
                                       workerPool_, controllerThread_, relatedListPass_);
  return current_;
}

std::shared_ptr<Harvest> HarvestState::CurrentHarvest() const {
  std::lock_guard lock(mutex_);
  return current_;
}

int32_t HarvestState::PendingTasks() const {
  std::shared_ptr<Harvest> harvest = CurrentHarvest();
  return harvest ? harvest->pendingTasks.Read() : 0;
}

int32_t HarvestState::MaxLevel() const {
  std::shared_ptr<Harvest> harvest = CurrentHarvest();
  return harvest ? harvest->maxLevel : 0;
}

}  // namespace kelvaro
