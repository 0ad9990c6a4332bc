// How the harvest starts its threads (the pool's workers and the controller).
//
// Every such thread is detached at once: a harvest never joins or kills a thread;
// when it is called off, its threads wind down by themselves (see
// cancellation_mark.h). Keeping the starter a value lets the harvest state count
// its threads and lets tests stand in for a system that cannot start one.
#pragma once

#include <functional>

namespace kelvaro {

// Starts `body` on a new detached thread; throws std::system_error when no thread
// can be started.
using ThreadStarter = std::function<void(std::function<void()> body)>;

void StartDetachedThread(std::function<void()> body);

// Wraps `starter` so that `count(+1)` runs before each thread starts and `count(-1)`
// once its body has returned and released what it held (or when it could not start),
// so an owner can wait until every thread it started has left.
ThreadStarter CountingStarter(ThreadStarter starter, std::function<void(int delta)> count);

}  // namespace kelvaro
