// The harvest state that lives from start-up to exit: the TaskList, the
// WorkerPool, the controllerThread slot, and the harvest most recently started
// (which carries pendingTasks and maxLevel).
//
// The front end owns one of these and passes it in; there is no global. The parts
// are shared with the threads of a harvest, so releasing the state never pulls
// anything from under a thread that a stop has abandoned. The state also counts
// the threads it has started, so a front end or a test can wait until every one
// of them has left before it takes the window down.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "engine/controller_thread.h"
#include "engine/harvest.h"
#include "engine/page_fetcher.h"
#include "engine/task_list.h"
#include "engine/thread_starter.h"
#include "engine/window.h"
#include "engine/worker_pool.h"

namespace kelvaro {

class HarvestState {
 public:
  // Everything at its start-up value: no pool, an empty TaskList, no controller,
  // pendingTasks and maxLevel 0. `starter` starts the pool's workers and the
  // controllers (tests pass one that fails).
  explicit HarvestState(ThreadStarter starter = StartDetachedThread);
  // Calls off a harvest still running and stops the pool without waiting, then
  // drops the TaskList and the pool holder; threads still running keep what they
  // use alive and leave by themselves.
  ~HarvestState();
  HarvestState(const HarvestState&) = delete;
  HarvestState& operator=(const HarvestState&) = delete;

  TaskList& Tasks() const { return *taskList_; }
  WorkerPool& Pool() const { return *workerPool_; }
  ControllerThread& Controller() const { return *controllerThread_; }

  // pendingTasks and maxLevel of the harvest most recently started; 0 before it.
  int32_t PendingTasks() const;
  int32_t MaxLevel() const;

  // A new harvest, which becomes the most recent one.
  std::shared_ptr<Harvest> BeginHarvest(Window& window, PageFetcher fetchPage, int32_t maxLevel);
  std::shared_ptr<Harvest> CurrentHarvest() const;
  std::mutex& RelatedListPass() const { return *relatedListPass_; }

  // Starts a thread counted by LiveThreads; throws std::system_error when the
  // system cannot start one.
  void StartThread(std::function<void()> body);
  // Threads started through this state (workers and controllers) not yet left.
  int LiveThreads() const;
  // Waits until LiveThreads is 0; false when `timeout` passed first.
  bool WaitUntilQuiet(std::chrono::milliseconds timeout) const;

  struct ThreadCount;  // shared with the threads it counts

 private:
  std::shared_ptr<ThreadCount> threads_;
  ThreadStarter starter_;
  std::shared_ptr<TaskList> taskList_;
  std::shared_ptr<WorkerPool> workerPool_;
  std::shared_ptr<ControllerThread> controllerThread_;
  std::shared_ptr<std::mutex> relatedListPass_;

  mutable std::mutex mutex_;  // guards current_ and serial_
  std::shared_ptr<Harvest> current_;
  uint64_t serial_ = 0;
};

}  // namespace kelvaro
