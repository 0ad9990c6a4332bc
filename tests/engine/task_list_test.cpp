// The TaskList: own indices under concurrent appends, the mark, and exact storage.
#include "engine/task_list.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

namespace kelvaro {
namespace {

TEST(TaskList, ConcurrentAppendsGetTheirOwnIndices) {
  TaskList list;
  constexpr int kThreads = 8;
  constexpr int kPerThread = 500;
  std::vector<std::vector<int32_t>> indices(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kPerThread; ++i) {
        indices[t].push_back(*list.Append({std::to_string(t) + ":" + std::to_string(i), t}));
      }
    });
  }
  for (auto& thread : threads) thread.join();

  ASSERT_EQ(list.Size(), size_t{kThreads * kPerThread});
  std::set<int32_t> all;
  for (int t = 0; t < kThreads; ++t) {
    for (int i = 0; i < kPerThread; ++i) {
      const int32_t index = indices[t][i];
      all.insert(index);
      // The index an append returned leads to the record that append added.
      EXPECT_EQ(list.Read(index), (TaskRecord{std::to_string(t) + ":" + std::to_string(i), t}));
    }
  }
  EXPECT_EQ(all.size(), size_t{kThreads * kPerThread});
}

TEST(TaskList, KeepsKeywordBytesExactlyAcrossBlocks) {
  TaskList list;
  EXPECT_EQ(list.Size(), 0u);
  EXPECT_EQ(list.Read(0), std::nullopt);

  const std::vector<TaskRecord> records = {
      {"", 1},
      {std::string("a\0b", 3), 2},       // bytes kept, NUL included
      {"\xD6\xD0\xCE\xC4", -7},          // 中文
      {std::string(70 * 1024, 'x'), 3},  // longer than a block
      {std::string(40 * 1024, 'y'), 4},  // does not fit the rest of a block
      {std::string(40 * 1024, 'z'), 2147483647},
      {"tail", 5},
  };
  for (size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(list.Append(records[i]), static_cast<int32_t>(i));
  }
  for (size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(list.Read(static_cast<int32_t>(i)), records[i]) << i;
  }
  EXPECT_EQ(list.Read(-1), std::nullopt);
  EXPECT_EQ(list.Read(static_cast<int32_t>(records.size())), std::nullopt);

  list.Reset();
  EXPECT_EQ(list.Size(), 0u);
  EXPECT_EQ(list.Read(0), std::nullopt);
  EXPECT_EQ(list.Append({"again", 1}), 0);
}

TEST(TaskList, RefusesAppendsOnceTheMarkIsSet) {
  TaskList list;
  CancellationMark mark;
  EXPECT_EQ(list.Append({"a", 1}, mark), 0);
  mark.Set();
  EXPECT_EQ(list.Append({"b", 1}, mark), std::nullopt);
  EXPECT_EQ(list.Size(), 1u);
}

}  // namespace
}  // namespace kelvaro
