// The harvest end to end, and the memory of its TaskList.
//
// Throughput: whole harvests through the run control and the in-memory window
// against the test search service, which answers every keyword after 20 ms with 8
// related keywords. With 20 workers and depth 2, every fetching task takes at least
// the latency plus 8 spacing sleeps of 5 ms, so no harvest can list more than
// workers x 8 / (latency + 8 x 5 ms) keywords per second; the ratio to that bound is
// what the benchmark reports. Enough seeds are given to keep all workers busy.
//
// Memory: the TaskList holding the 100,000 records of a harvest of that size (the
// keywords as a fan-out-8 harvest makes them), measured as the heap it takes, at its
// peak while growing, beyond the bytes of the keywords themselves.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <string>
#include <vector>

#include "engine/harvest_texts.h"
#include "engine/task_list.h"
#include "tests/support/harvest_rig.h"
#include "tests/support/search_service.h"

namespace kelvaro {
namespace {

using namespace std::chrono_literals;

constexpr int kFanOut = 8;
constexpr int kWorkers = 20;
constexpr auto kLatency = 20ms;

void BM_Harvest(benchmark::State& state) {
  const int seeds = static_cast<int>(state.range(0));
  test::TestSearchService service;
  service.SetGenerator(test::FanOutGraph(kFanOut));
  service.SetDefaultAnswer(test::Answer::Delayed(kLatency));
  std::vector<std::string> seedKeywords;
  for (int i = 0; i < seeds; ++i) seedKeywords.push_back("seed" + std::to_string(i));

  int keywords = 0;
  double seconds = 0;
  for (auto _ : state) {
    test::HarvestRig rig(SearchPageFetcher(service.Endpoint(5000)));
    rig.Set(seedKeywords, "2", std::to_string(kWorkers));
    const auto start = std::chrono::steady_clock::now();
    rig.Start();
    if (!rig.WaitForSummary(120s)) state.SkipWithError("the harvest did not end");
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    keywords += rig.window.ListCount(ListId::RelatedKeywords);
    seconds += took.count();
  }
  const double perTask = std::chrono::duration<double>(kLatency).count() + kFanOut * 0.005;
  const double bound = kWorkers * kFanOut / perTask;
  state.counters["keywords_per_s"] = keywords / seconds;
  state.counters["bound_per_s"] = bound;
  state.counters["ratio"] = keywords / seconds / bound;
}
BENCHMARK(BM_Harvest)->Arg(40)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// The records of a fan-out-8 harvest, level by level, until there are `count`.
std::vector<TaskRecord> HarvestRecords(size_t count) {
  std::vector<TaskRecord> records;
  records.reserve(count);
  for (int seed = 0; records.size() < count; ++seed) {
    records.push_back({"\xC6\xBB\xB9\xFB" + std::to_string(seed), 1});  // 苹果
    for (size_t parent = records.size() - 1; parent < records.size() && records.size() < count;
         ++parent) {
      for (int i = 1; i <= kFanOut && records.size() < count; ++i) {
        records.push_back({records[parent].keyword + "\xB4\xCA" + std::to_string(i),  // 词
                           records[parent].level + 1});
      }
      if (records[parent].level >= 4) break;
    }
  }
  return records;
}

void BM_TaskListMemory(benchmark::State& state) {
  const auto count = static_cast<size_t>(state.range(0));
  const std::vector<TaskRecord> records = HarvestRecords(count);
  size_t keywordBytes = 0;
  for (const TaskRecord& record : records) keywordBytes += record.keyword.size();

  double overhead = 0;
  for (auto _ : state) {
    malloc_trim(0);
    const size_t before = mallinfo2().uordblks;
    size_t peak = before;
    {
      TaskList list;
      for (const TaskRecord& record : records) {
        list.Append(record);
        peak = std::max(peak, mallinfo2().uordblks);
      }
      benchmark::DoNotOptimize(list.Size());
    }
    overhead = (static_cast<double>(peak - before) - static_cast<double>(keywordBytes)) /
               static_cast<double>(count);
  }
  state.counters["records"] = static_cast<double>(count);
  state.counters["keyword_bytes_per_record"] =
      static_cast<double>(keywordBytes) / static_cast<double>(count);
  state.counters["overhead_bytes_per_record"] = overhead;
}
BENCHMARK(BM_TaskListMemory)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvaro

BENCHMARK_MAIN();
