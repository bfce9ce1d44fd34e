#pragma once
// Work shared out over the cores the program may run on, inside one command: every thread is
// started here and joined before the object that started it is gone, so nothing runs on after
// the command. This is the only place that starts threads.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

// Most workers one command uses (the calling thread among them).
inline constexpr int kMaxParallelParts = 8;

// The cores the calling thread may run on (its CPU affinity, which `taskset` sets for the whole
// process), at least 1.
int UsableCores();

// One batch of items handed to a worker: items begin .. end - 1, the index-th batch. worker is
// 0 for the calling thread and 1 .. kMaxParallelParts - 1 for the threads started, and no two
// batches worked at once share it: scratch room kept in an array of kMaxParallelParts entries,
// indexed by worker, belongs to one batch at a time.
struct Batch {
  int worker;
  std::int32_t index, begin, end;
};

// The batch size that cuts count items into at most one batch per usable core, and into one
// batch only below twice minPerBatch items, so that no thread is started for fewer: for work
// that is best taken in one piece a core.
std::int32_t BatchPerCore(std::int32_t count, std::int32_t minPerBatch);

// Items 0 .. count - 1 worked in batches of perBatch items, which the cores take up one after
// another as each gets free, from the moment the object is made; the caller can take the items
// up in order while later ones are still being worked on. While the caller waits for a batch
// that nobody has begun, it works the next batch itself, as worker 0: WaitFor, Finish and Stop
// are for the thread that made the object. The work must not throw: a throw on a thread ends the
// program. No thread outlives the object.
class ParallelBatches {
 public:
  using Work = std::function<void(const Batch& batch)>;

  ParallelBatches(std::int32_t count, std::int32_t perBatch, Work work);
  // Begins no further batch and waits for those being worked on.
  ~ParallelBatches();
  ParallelBatches(const ParallelBatches&) = delete;
  ParallelBatches& operator=(const ParallelBatches&) = delete;

  std::int32_t batches() const { return batches_; }
  // The first item of a batch (count for batches()).
  std::int32_t Begin(std::int32_t batch) const;

  // Returns once the batch of item is done: true. False at once for an item that will never be
  // worked on, its batch not begun before Stop (or no such item).
  [[nodiscard]] bool WaitFor(std::int32_t item);
  // Works and waits for every batch that Stop has not kept from beginning.
  void Finish();
  // Begins no further batch: the items of batches not begun are never worked on.
  void Stop();

 private:
  // Works the next batch nobody has begun, as the worker given; false when there is none.
  bool WorkNextBatch(int worker);
  bool WillBeWorked(std::int32_t batch) const;

  std::int32_t count_;
  std::int32_t perBatch_;
  std::int32_t batches_;
  Work work_;
  std::atomic<std::int32_t> next_{0};         // the next batch to begin
  std::int32_t stoppedAt_;                    // batches from here on are never begun
  std::unique_ptr<std::atomic<int>[]> done_;  // 1 once a batch is done
  std::vector<std::thread> threads_;
};

// Works every item in batches of perBatch items on the usable cores, and returns once all are
// done.
void RunInBatches(std::int32_t count, std::int32_t perBatch, const ParallelBatches::Work& work);
