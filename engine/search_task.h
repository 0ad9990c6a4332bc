// The search task: what a pool worker runs for one TaskList index.
//
// It fetches the page of the record's keyword (unless the record lies deeper than
// the harvest's maxLevel), lists every related keyword in the related list and
// submits each as a task one level deeper, 5 ms apart. Every step that changes
// shared state first looks at the harvest's mark, under the lock of that state (or
// on the window thread for the list), so a task of a harvest that has been called
// off changes nothing from then on.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "engine/harvest.h"

namespace kelvaro {

inline constexpr std::chrono::milliseconds kSubmitSpacing{5};

void SearchTask(const std::shared_ptr<Harvest>& harvest, int32_t index);

// Counts the task at `index` into pendingTasks and submits it to the pool. A
// submission the pool refuses is counted out again, so a harvest whose pool has no
// worker ends instead of waiting for tasks that will never run. False when the
// harvest has been called off.
bool SubmitSearchTask(const std::shared_ptr<Harvest>& harvest, int32_t index);

}  // namespace kelvaro
