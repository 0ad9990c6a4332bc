// The harvest's shared list of TaskRecords; see task_list.h.
#include "engine/task_list.h"

#include <algorithm>
#include <limits>

namespace kelvaro {

void TaskList::Reset() {
  std::deque<Entry> oldEntries;
  std::vector<std::string> oldBlocks;
  {
    std::lock_guard lock(mutex_);
    oldEntries.swap(entries_);
    oldBlocks.swap(blocks_);
  }
  // The old records are freed outside the lock.
}

std::optional<int32_t> TaskList::Append(const TaskRecord& record, const CancellationMark& mark) {
  std::lock_guard lock(mutex_);
  if (mark.IsSet()) return std::nullopt;
  return AppendLocked(record);
}

std::optional<int32_t> TaskList::Append(const TaskRecord& record) {
  std::lock_guard lock(mutex_);
  return AppendLocked(record);
}

std::optional<int32_t> TaskList::AppendLocked(const TaskRecord& record) {
  // Indices travel as 32-bit task arguments; a list that full takes no more.
  if (entries_.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max()) ||
      record.keyword.size() > std::numeric_limits<uint32_t>::max()) {
    return std::nullopt;
  }
  const size_t length = record.keyword.size();
  if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < length) {
    // A keyword longer than a block gets a block of its own size.
    std::string block;
    block.reserve(std::max(kBlockBytes, length));
    blocks_.push_back(std::move(block));
  }
  std::string& block = blocks_.back();
  entries_.push_back(Entry{static_cast<uint32_t>(blocks_.size() - 1),
                           static_cast<uint32_t>(block.size()), static_cast<uint32_t>(length),
                           record.level});
  block.append(record.keyword);
  return static_cast<int32_t>(entries_.size() - 1);
}

size_t TaskList::Size() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

std::optional<TaskRecord> TaskList::Read(int32_t index) const {
  std::lock_guard lock(mutex_);
  if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return std::nullopt;
  const Entry& entry = entries_[static_cast<size_t>(index)];
  return TaskRecord{blocks_[entry.block].substr(entry.offset, entry.length), entry.level};
}

void TaskList::Fence() const {
  std::lock_guard lock(mutex_);
}

}  // namespace kelvaro
