// controllerThread: whether a harvest's controller may still be called off.
//
// Set when the controller's thread is started; cleared either by the controller
// itself when it has stopped waiting, or by AbortHarvest, whichever comes first,
// both under one lock. The abort sets the harvest's mark under that same lock, so
// the controller either finds the mark set and takes no further step, or has
// already cleared the slot and runs to its summary; it is never both.
#pragma once

#include <cstdint>
#include <mutex>

#include "engine/cancellation_mark.h"

namespace kelvaro {

class ControllerThread {
 public:
  // The controller of harvest `serial` is about to start.
  void Hold(uint64_t serial);
  // Its thread could not be started after all.
  void Clear();
  bool IsHeld() const;

  // The controller of harvest `serial`, done waiting: clears the slot and gives
  // true, or gives false when `mark` is already set (the harvest was called off).
  bool ReleaseByController(uint64_t serial, const CancellationMark& mark);

  // AbortHarvest: sets `mark` and clears the slot, in one step.
  void CancelAndRelease(CancellationMark& mark);

 private:
  mutable std::mutex mutex_;
  bool held_ = false;
  uint64_t serial_ = 0;
};

}  // namespace kelvaro
