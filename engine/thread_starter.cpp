// Starting detached threads; see thread_starter.h.
#include "engine/thread_starter.h"

#include <thread>

namespace kelvaro {

void StartDetachedThread(std::function<void()> body) {
  std::thread(std::move(body)).detach();
}

ThreadStarter CountingStarter(ThreadStarter starter, std::function<void(int delta)> count) {
  return [starter = std::move(starter), count = std::move(count)](std::function<void()> body) {
    count(+1);
    try {
      starter([count, body = std::move(body)]() mutable {
        {
          // What the body holds is released before the thread counts itself out.
          std::function<void()> run = std::move(body);
          run();
        }
        count(-1);
      });
    } catch (...) {
      count(-1);
      throw;
    }
  };
}

}  // namespace kelvaro
