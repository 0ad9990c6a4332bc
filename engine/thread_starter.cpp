// Starting detached threads; see thread_starter.h.
#include "engine/thread_starter.h"

#include <thread>

namespace kelvaro {

void StartDetachedThread(std::function<void()> body) {
  std::thread(std::move(body)).detach();
}

}  // namespace kelvaro
