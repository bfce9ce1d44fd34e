#pragma once
// Work split across the machine's cores inside one call: the call returns only when every part
// is done, so nothing runs on after it.

#include <cstdint>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

// Most parts one call makes (the machine's cores, at most this many).
inline constexpr int kMaxParallelParts = 8;

// Cuts 0 .. count - 1 into contiguous stretches of at least minPerPart items, at most one per
// core, and runs work(part, begin, end) for each, part 0 holding the first stretch; returns the
// number of parts (0 for no items). One part runs in the calling thread; when no thread can be
// started the remaining parts run there too, in order. work must not touch what another part
// touches, other than reading.
int RunInParallelParts(std::int32_t count, std::int32_t minPerPart,
                       const std::function<void(int part, std::int32_t begin, std::int32_t end)>& work);

// The same cut of 0 .. count - 1 into parts, each part started on a thread of its own at once
// (more than one part only), so that the caller can go on with other work meanwhile and then
// take the parts up in order as they are done. No thread outlives the object.
class ParallelParts {
 public:
  ParallelParts(std::int32_t count, std::int32_t minPerPart,
                std::function<void(int part, std::int32_t begin, std::int32_t end)> work);
  // Waits for every part, running in the calling thread those no thread took.
  ~ParallelParts();
  ParallelParts(const ParallelParts&) = delete;
  ParallelParts& operator=(const ParallelParts&) = delete;

  int parts() const { return parts_; }
  std::int32_t Begin(int part) const;
  // Returns once the part is done; a part no thread took runs here, in the calling thread.
  void WaitFor(int part);

 private:
  std::int32_t count_;
  int parts_;
  int started_ = 0;  // parts 0 .. started_ - 1 run on threads
  std::function<void(int, std::int32_t, std::int32_t)> work_;
  std::unique_ptr<std::atomic<int>[]> done_;  // 1 once a thread's part is done
  std::vector<bool> ranHere_;
  std::vector<std::thread> threads_;
};

// Items 0 .. count - 1 worked in batches of perBatch items that the machine's cores take up one
// after another as each gets free, so that the caller can take the items up in order while later
// ones are still being worked on. While the caller waits for a batch that nobody has begun, it
// works the next batch itself. No thread outlives the object.
class ParallelBatches {
 public:
  ParallelBatches(std::int32_t count, std::int32_t perBatch,
                  std::function<void(std::int32_t begin, std::int32_t end)> work);
  // Begins no further batch and waits for those being worked on.
  ~ParallelBatches();
  ParallelBatches(const ParallelBatches&) = delete;
  ParallelBatches& operator=(const ParallelBatches&) = delete;

  // Returns once the batch of item is done.
  void WaitFor(std::int32_t item);
  // Begins no further batch: the items of batches not begun are never worked on, and are not to
  // be waited for.
  void Stop();

 private:
  // Works the next batch nobody has begun; false when there is none.
  bool WorkNextBatch();

  std::int32_t count_;
  std::int32_t perBatch_;
  std::int32_t batches_;
  std::function<void(std::int32_t, std::int32_t)> work_;
  std::atomic<std::int32_t> next_{0};         // the next batch to begin
  std::unique_ptr<std::atomic<int>[]> done_;  // 1 once a batch is done
  std::vector<std::thread> threads_;
};
