// The harvest controller: the body of a harvest's controller thread.
//
// It seeds one task per seed keyword, 5 ms apart, waits until the harvest's
// pendingTasks is 0 (testing every 50 ms), then gives up its controllerThread slot;
// from there on it can no longer be called off and runs to its summary: the
// related list de-duplicated, the button's caption back to "start", and the counts
// before and after in the status bar. Before that point every step looks at the
// harvest's mark first and the controller ends quietly once it is set.
#pragma once

#include <chrono>
#include <memory>

#include "engine/harvest.h"

namespace kelvaro {

inline constexpr std::chrono::milliseconds kPendingPollInterval{50};

void HarvestController(const std::shared_ptr<Harvest>& harvest);

}  // namespace kelvaro
