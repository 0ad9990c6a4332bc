// The synchronous hand-over of operations from other threads to the window thread.
//
// A caller queues its operation, wakes the window thread with a posted message unless a
// wake is already on its way, and waits until the operation has run. The window thread
// runs every queued operation on that one wake, so threads that hand over at the same
// time share one trip through the message queue. Under Wine a SendMessage per operation
// costs several round trips to the server; here most operations cost none, because the
// waiting is done with a slim reader/writer lock and condition variables, which wait in
// the process itself.
//
// The wake is an ordinary posted message, so operations keep running while the window
// thread is inside a dialog's or a menu's own message loop, as with SendMessage.
#pragma once

#include <windows.h>

#include <deque>
#include <exception>
#include <functional>

namespace kelvaro {

class HandOver {
 public:
  HandOver();
  HandOver(const HandOver&) = delete;
  HandOver& operator=(const HandOver&) = delete;

  // From now on wakes are posted to `window` as `message`, with a wake number as wParam.
  void Open(HWND window, UINT message);

  // Any thread but the window thread: runs `action` on the window thread and returns
  // when it has run; what it throws is thrown here. False, and nothing run, when the
  // window takes no hand-overs (not yet, or no longer).
  bool Run(const std::function<void()>& action);

  // Window thread, on the wake message: runs the operations queued at this moment and
  // gives their number. Until FinishWake, later callers count on this wake.
  size_t RunQueued();
  // Window thread, done with a wake: true when nothing waits any more (the next caller
  // then posts a wake itself); false when more has been queued, and the window thread
  // must wake itself again (Wake) or run them.
  bool FinishWake();
  // Posts another wake.
  void Wake();
  // The number the next wake will carry: a wake with a lower number was posted earlier.
  WPARAM NextWakeNumber();

  // Window thread, as the window goes: every waiting caller returns with its operation
  // not run, and later hand-overs return at once.
  void Close();

 private:
  struct Call;

  void PostWake();  // with lock_ not held

  SRWLOCK lock_;
  std::deque<Call*> queue_;   // guarded by lock_
  bool wakePending_ = false;  // a wake is posted or the queue is being run
  HWND window_ = nullptr;
  UINT message_ = 0;
  WPARAM wakeNumber_ = 0;
};

}  // namespace kelvaro
