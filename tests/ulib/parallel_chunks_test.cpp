#include "ulib/parallel_chunks.h"

#include <sched.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/hang_guard.h"

namespace {

// Every item is worked once, and an item waited for is done, in any cut into batches; a batch
// knows its index, and no two batches worked at the same time share a worker's number.
TEST(ParallelBatches, EveryItemOnceAndDoneWhenWaitedFor) {
  struct Case {
    std::int32_t count, perBatch;
  };
  constexpr Case kCases[] = {{0, 4}, {1, 4}, {7, 3}, {33, 100}, {1000, 1}, {5000, 4}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.count << " items, " << c.perBatch << " a batch");
    std::vector<std::atomic<int>> worked(static_cast<std::size_t>(c.count));
    std::vector<std::int64_t> squares(static_cast<std::size_t>(c.count), -1);
    std::atomic<int> busy[kMaxParallelParts] = {};
    std::atomic<int> sharedWorker{0};
    {
      ParallelBatches batches(c.count, c.perBatch, [&](const Batch& batch) {
        EXPECT_EQ(batch.begin, batch.index * c.perBatch);
        EXPECT_LE(batch.end - batch.begin, c.perBatch);
        EXPECT_GE(batch.worker, 0);
        ASSERT_LT(batch.worker, kMaxParallelParts);
        if (busy[batch.worker].exchange(1) != 0) sharedWorker.fetch_add(1);
        for (std::int32_t i = batch.begin; i < batch.end; ++i) {
          worked[static_cast<std::size_t>(i)].fetch_add(1);
          squares[static_cast<std::size_t>(i)] = std::int64_t{i} * i;
        }
        busy[batch.worker].store(0);
      });
      for (std::int32_t i = 0; i < c.count; ++i) {
        ASSERT_TRUE(batches.WaitFor(i)) << i;
        ASSERT_EQ(squares[static_cast<std::size_t>(i)], std::int64_t{i} * i) << i;
      }
      EXPECT_FALSE(batches.WaitFor(c.count)) << "no such item";
    }
    for (std::int32_t i = 0; i < c.count; ++i) EXPECT_EQ(worked[static_cast<std::size_t>(i)], 1);
    EXPECT_EQ(sharedWorker.load(), 0);
  }
}

// RunInBatches returns with every item worked once.
TEST(ParallelBatches, RunInBatchesWorksEveryItemBeforeItReturns) {
  for (const std::int32_t perBatch : {1, 3, 64, 5000}) {
    SCOPED_TRACE(perBatch);
    std::vector<int> worked(4000, 0);  // each item written by the one batch that holds it
    RunInBatches(4000, perBatch, [&worked](const Batch& batch) {
      for (std::int32_t i = batch.begin; i < batch.end; ++i) ++worked[static_cast<std::size_t>(i)];
    });
    EXPECT_EQ(worked, std::vector<int>(4000, 1));
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
    ParallelBatches batches(kCount, kPerBatch, [&](const Batch& batch) {
      begun.fetch_add(1);
      if (batch.begin >= 6 * kPerBatch) stopped.wait(false);
      for (std::int32_t i = batch.begin; i < batch.end; ++i) {
        worked[static_cast<std::size_t>(i)].store(1);
      }
      finished.fetch_add(1);
    });
    batches.Stop();
    batches.Stop();  // a second stop changes nothing
    stopped = true;
    stopped.notify_all();
    // Finish after a stop waits for what was begun, and begins nothing more.
    batches.Finish();
    EXPECT_EQ(begun.load(), finished.load());
  }
  EXPECT_EQ(begun.load(), finished.load());
  EXPECT_LE(begun.load(), 6 + kMaxParallelParts);
  int items = 0;
  for (const std::atomic<int>& w : worked) items += w.load();
  EXPECT_EQ(items, kPerBatch * begun.load());
}

// After a stop, waiting for an item that no one began returns at once, saying so, while one
// that was begun is still waited for until it is done.
TEST(ParallelBatches, WaitingForAnItemThatWillNeverBeWorkedReturnsAtOnce) {
  constexpr std::int32_t kCount = 100;
  struct Waited {
    bool last, first;
    int begun;
  };
  // All of it on a thread of its own, so that a wait that never returns fails the test at the
  // hang guard instead of hanging it.
  auto waited = std::async(std::launch::async, [] {
    std::atomic<bool> release{false};
    std::atomic<int> begun{0};
    std::vector<std::atomic<int>> finished(kCount);
    ParallelBatches batches(kCount, 1, [&](const Batch& batch) {
      begun.fetch_add(1);
      release.wait(false);
      finished[static_cast<std::size_t>(batch.index)].store(1);
    });
    // The threads hold the batches they took; the caller takes none until it waits.
    batches.Stop();
    Waited result{};
    result.last = batches.WaitFor(kCount - 1);
    // Item 0 was begun by a thread before the stop, or by no one when none had started yet;
    // begun, it is waited for until its batch is done, however late that is.
    std::thread releaser([&release] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      release = true;
      release.notify_all();
    });
    result.first = begun.load() == 0 || (batches.WaitFor(0) && finished[0].load() == 1);
    releaser.join();
    result.begun = begun.load();
    return result;
  });
  if (waited.wait_for(std::chrono::milliseconds(nv4test::kHangGuardMs)) !=
      std::future_status::ready) {
    std::fprintf(stderr, "WaitFor of an item never worked did not return\n");
    std::_Exit(1);
  }
  const Waited result = waited.get();
  EXPECT_FALSE(result.last);
  EXPECT_TRUE(result.first);
  EXPECT_LT(result.begun, kCount);
}

// The number of workers follows the cores the process may run on: held to one core, all the
// work runs in the calling thread.
TEST(ParallelBatches, UsesTheCoresTheProcessMayRunOn) {
  cpu_set_t before;
  ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
  EXPECT_EQ(UsableCores(), CPU_COUNT(&before));
  int core = 0;
  while (!CPU_ISSET(core, &before)) ++core;
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(core, &one);
  ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
  EXPECT_EQ(UsableCores(), 1);
  std::set<std::thread::id> threads;
  std::set<int> workers;
  RunInBatches(64, 1, [&](const Batch& batch) {
    threads.insert(std::this_thread::get_id());  // one thread only, or the sets race
    workers.insert(batch.worker);
  });
  EXPECT_EQ(BatchPerCore(64, 1), 64);
  ASSERT_EQ(sched_setaffinity(0, sizeof before, &before), 0);
  EXPECT_EQ(threads, std::set<std::thread::id>{std::this_thread::get_id()});
  EXPECT_EQ(workers, std::set<int>{0});
}

// A batch a core at most, one only below twice the least size, and every item in one.
TEST(BatchPerCore, CutsIntoAtMostOneBatchACoreOfAboutTheLeastSize) {
  const std::int32_t cores = std::min(UsableCores(), kMaxParallelParts);
  struct Case {
    std::int32_t count, least;
  };
  constexpr Case kCases[] = {{0, 32},    {1, 32},      {31, 32},       {63, 32},
                             {64, 32},   {100, 1},     {4999, 32},     {4097, 4096},
                             {513, 512}, {9998, 512},  {250000, 4096}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.count << " items, at least " << c.least);
    const std::int32_t perBatch = BatchPerCore(c.count, c.least);
    ASSERT_GE(perBatch, 1);
    const std::int32_t batches = (c.count + perBatch - 1) / perBatch;
    EXPECT_LE(batches, cores);
    EXPECT_GE(static_cast<std::int64_t>(batches) * perBatch, c.count);
    if (c.count < 2 * c.least) {
      EXPECT_LE(batches, 1);
    }
    if (c.count >= c.least * cores) {
      EXPECT_EQ(batches, cores);
    }
  }
}

}  // namespace
