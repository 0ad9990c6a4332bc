// The pool of worker threads that runs the harvest's search tasks.
//
// A fixed number of workers take items from one first-in, first-out queue, each
// running one item to its end before it takes the next. A stop queues one stop
// item per worker behind the waiting work and waits up to a grace period; after
// that the queue is closed (what is left in it never runs) and workers still busy
// are abandoned, not killed: each finishes its current item (which, for a harvest
// that was called off, changes nothing) and then leaves by itself. The pool's
// internals are shared with its workers, so an abandoned worker keeps them alive
// until it has left, whatever has happened to the pool since.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "engine/cancellation_mark.h"
#include "engine/thread_starter.h"

namespace kelvaro {

class WorkerPool {
 public:
  using Routine = std::function<void(int32_t argument)>;
  enum class State { None, Running, Stopping, Stopped };

  static constexpr uint32_t kDefaultWorkers = 20;
  // A count read from a box may be negative (seen as unsigned, about four
  // billion) or simply more than the system will start. The pool never tries for
  // more than this; the count still asked of it is kept as entered.
  static constexpr uint32_t kMaxWorkers = 256;

  explicit WorkerPool(ThreadStarter starter = StartDetachedThread);
  // Closes the queue of a running pool without waiting: its workers leave after
  // their current item.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // With a pool running, changes nothing and gives its worker count. Otherwise
  // starts a new pool of `count` workers (0 means kDefaultWorkers, more than
  // kMaxWorkers means kMaxWorkers); workers that cannot be started are left out.
  // Gives the number started; with none, no pool exists afterwards.
  uint32_t Create(uint32_t count);

  // Queues the item at the end of the queue. False, and nothing queued, when no
  // pool is running or when `mark` is set (tested under the queue's lock).
  bool Submit(Routine routine, int32_t argument);
  bool Submit(Routine routine, int32_t argument, const CancellationMark& mark);

  // See the file comment. Does nothing unless a pool is running.
  void Stop(std::chrono::milliseconds grace);

  State GetState() const;
  // Workers of the current pool (0 when there is none), counted when it started.
  uint32_t WorkerCount() const;
  size_t QueuedItems() const;

 private:
  struct Core;

  std::shared_ptr<Core> CurrentCore() const;
  bool SubmitUnless(Routine routine, int32_t argument, const CancellationMark* mark);

  ThreadStarter starter_;
  mutable std::mutex mutex_;  // guards core_ (the pointer, not the pool)
  std::shared_ptr<Core> core_;
};

}  // namespace kelvaro
