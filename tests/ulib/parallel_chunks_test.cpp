#include "ulib/parallel_chunks.h"

#include <atomic>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Every item is worked once, and an item waited for is done, in any cut into batches.
TEST(ParallelBatches, EveryItemOnceAndDoneWhenWaitedFor) {
  struct Case {
    std::int32_t count, perBatch;
  };
  constexpr Case kCases[] = {{0, 4}, {1, 4}, {7, 3}, {33, 100}, {1000, 1}, {5000, 4}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.count << " items, " << c.perBatch << " a batch");
    std::vector<std::atomic<int>> worked(static_cast<std::size_t>(c.count));
    std::vector<std::int64_t> squares(static_cast<std::size_t>(c.count), -1);
    {
      ParallelBatches batches(c.count, c.perBatch, [&](std::int32_t begin, std::int32_t end) {
        EXPECT_EQ(begin % c.perBatch, 0);
        EXPECT_LE(end - begin, c.perBatch);
        for (std::int32_t i = begin; i < end; ++i) {
          worked[static_cast<std::size_t>(i)].fetch_add(1);
          squares[static_cast<std::size_t>(i)] = std::int64_t{i} * i;
        }
      });
      for (std::int32_t i = 0; i < c.count; ++i) {
        batches.WaitFor(i);
        ASSERT_EQ(squares[static_cast<std::size_t>(i)], std::int64_t{i} * i) << i;
      }
    }
    for (std::int32_t i = 0; i < c.count; ++i) EXPECT_EQ(worked[static_cast<std::size_t>(i)], 1);
  }
}

// Stopped, the batches begun are finished before the object is gone, and no other begins: with
// every batch after the first six held until the stop, each core can have begun one of them only.
TEST(ParallelBatches, StopFinishesWhatWasBegunAndBeginsNoMore) {
  constexpr std::int32_t kCount = 4000;
  constexpr std::int32_t kPerBatch = 2;
  std::atomic<bool> stopped{false};
  std::atomic<int> begun{0}, finished{0};
  std::vector<std::atomic<int>> worked(kCount);
  {
    ParallelBatches batches(kCount, kPerBatch, [&](std::int32_t begin, std::int32_t end) {
      begun.fetch_add(1);
      if (begin >= 6 * kPerBatch) stopped.wait(false);
      for (std::int32_t i = begin; i < end; ++i) worked[static_cast<std::size_t>(i)].store(1);
      finished.fetch_add(1);
    });
    batches.Stop();
    stopped = true;
    stopped.notify_all();
  }
  EXPECT_EQ(begun.load(), finished.load());
  EXPECT_LE(begun.load(), 6 + kMaxParallelParts);
  int items = 0;
  for (const std::atomic<int>& w : worked) items += w.load();
  EXPECT_EQ(items, kPerBatch * begun.load());
}

}  // namespace
