// One harvest: what its controller and its search tasks share.
//
// Built by the start of a harvest and owned jointly by the threads that work for
// it, so a thread that a stop has abandoned never outlives what it touches. The
// window is the one exception: the front end keeps it alive until the harvest
// state is quiet (HarvestState::WaitUntilQuiet) or the process ends.
//
// An aggregate: the members are given in order, the mark and the counter start
// fresh.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "engine/cancellation_mark.h"
#include "engine/controller_thread.h"
#include "engine/page_fetcher.h"
#include "engine/task_counter.h"
#include "engine/task_list.h"
#include "engine/window.h"
#include "engine/worker_pool.h"

namespace kelvaro {

struct Harvest {
  Window& window;
  const PageFetcher fetchPage;
  const int32_t maxLevel;  // fixed before the controller starts
  const uint64_t serial;   // tells this harvest's controller from a later one's

  // The state of the whole program that the harvest works on.
  const std::shared_ptr<TaskList> taskList;
  const std::shared_ptr<WorkerPool> workerPool;
  const std::shared_ptr<ControllerThread> controllerThread;
  // Held by every pass of DedupeRelatedList, so two passes never interleave.
  const std::shared_ptr<std::mutex> relatedListPass;

  CancellationMark mark;
  TaskCounter pendingTasks;
};

}  // namespace kelvaro
