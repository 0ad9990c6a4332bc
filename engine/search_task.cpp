// The search task; see search_task.h.
#include "engine/search_task.h"

#include <string>
#include <vector>

#include "engine/text.h"
#include "platform/process.h"

namespace kelvaro {
namespace {

// Fetches the record's page, then lists, records, counts and submits every related
// keyword on it, in page order.
void HarvestChildren(const std::shared_ptr<Harvest>& harvest, const TaskRecord& record) {
  Harvest& h = *harvest;
  if (h.mark.IsSet()) return;
  const std::string page = h.fetchPage ? h.fetchPage(record.keyword, h.mark.Flag()) : std::string();
  const std::vector<std::string> items = ExtractRelatedKeywords(page);
  for (const std::string& item : items) {
    bool calledOff = false;
    // The mark is tested on the window thread, where a stop also runs: the item
    // is either in the list before the stop or never.
    h.window.Invoke([&] {
      if (h.mark.IsSet()) {
        calledOff = true;
        return;
      }
      h.window.ListAdd(ListId::RelatedKeywords, item);  // a refused item still becomes a task
    });
    if (calledOff) return;
    const std::optional<int32_t> child = h.taskList->Append({item, record.level + 1}, h.mark);
    if (!child || !SubmitSearchTask(harvest, *child)) return;
    if (h.mark.SleepFor(kSubmitSpacing)) return;
  }
}

}  // namespace

bool SubmitSearchTask(const std::shared_ptr<Harvest>& harvest, int32_t index) {
  Harvest& h = *harvest;
  if (!h.pendingTasks.Add(h.mark)) return false;
  if (h.workerPool->Submit([harvest](int32_t i) { SearchTask(harvest, i); }, index, h.mark)) {
    return true;
  }
  h.pendingTasks.Subtract(h.mark);
  return !h.mark.IsSet();
}

void SearchTask(const std::shared_ptr<Harvest>& harvest, int32_t index) {
  Harvest& h = *harvest;
  // A called-off harvest's index may point past a list that a later start has
  // emptied: no record, nothing to do.
  const std::optional<TaskRecord> record = h.taskList->Read(index);
  if (record && record->level <= h.maxLevel) HarvestChildren(harvest, *record);
  h.pendingTasks.Subtract(h.mark);
  TrimWorkingSet();
}

}  // namespace kelvaro
