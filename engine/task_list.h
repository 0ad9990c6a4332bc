// The harvest's shared list of TaskRecords, addressed by 0-based index.
//
// Every operation is one step under the list's single lock; Append returns the
// index of the record it added inside that same step, because another thread may
// append in between and an index worked out from the size would be someone else's.
//
// A harvest can run to hundreds of thousands of records, so they are stored
// compactly: the keyword bytes go into large shared text blocks and each record is
// a fixed 16-byte entry pointing into them. Neither store ever moves what it holds,
// so growing never needs a second copy of the list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/cancellation_mark.h"
#include "engine/task_record.h"

namespace kelvaro {

class TaskList {
 public:
  TaskList() = default;
  TaskList(const TaskList&) = delete;
  TaskList& operator=(const TaskList&) = delete;

  // Drops every record: the list starts again from index 0.
  void Reset();

  // Appends and gives the record's index, or nothing (and appends nothing) when
  // `mark` is set: a harvest that has been called off adds no records. The mark is
  // tested under the list's lock, so once Fence has returned after the mark was
  // set, no append of that harvest is under way or still to come.
  std::optional<int32_t> Append(const TaskRecord& record, const CancellationMark& mark);
  std::optional<int32_t> Append(const TaskRecord& record);

  size_t Size() const;
  // Nothing for an index outside the list.
  std::optional<TaskRecord> Read(int32_t index) const;

  // Waits until no operation is inside the lock. See Append.
  void Fence() const;

 private:
  struct Entry {
    uint32_t block;
    uint32_t offset;
    uint32_t length;
    int32_t level;
  };
  static constexpr size_t kBlockBytes = 64 * 1024;

  std::optional<int32_t> AppendLocked(const TaskRecord& record);

  mutable std::mutex mutex_;
  std::deque<Entry> entries_;
  std::vector<std::string> blocks_;  // each reserved once, never reallocated
};

}  // namespace kelvaro
