#include "ulib/parallel_chunks.h"

#include <sched.h>

#include <algorithm>
#include <utility>

int UsableCores() {
  cpu_set_t cores;
  CPU_ZERO(&cores);
  if (sched_getaffinity(0, sizeof cores, &cores) == 0) return std::max(1, CPU_COUNT(&cores));
  // A machine of more cores than the set holds: the machine's count.
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::int32_t BatchPerCore(std::int32_t count, std::int32_t minPerBatch) {
  const std::int32_t least = std::max<std::int32_t>(minPerBatch, 1);
  const std::int32_t cores = std::min(UsableCores(), kMaxParallelParts);
  const std::int32_t batches = std::clamp<std::int32_t>(count / least, 1, cores);
  return std::max<std::int32_t>(1, count / batches + (count % batches != 0 ? 1 : 0));
}

ParallelBatches::ParallelBatches(std::int32_t count, std::int32_t perBatch, Work work)
    : count_(std::max<std::int32_t>(count, 0)),
      perBatch_(std::max<std::int32_t>(perBatch, 1)),
      batches_(count_ / perBatch_ + (count_ % perBatch_ != 0 ? 1 : 0)),
      work_(std::move(work)),
      stoppedAt_(batches_),
      done_(new std::atomic<int>[static_cast<std::size_t>(std::max(batches_, 1))]) {
  for (std::int32_t batch = 0; batch < batches_; ++batch) done_[batch].store(0);
  // The caller is worker 0, and works too while it waits.
  const int threads = std::min(std::min(UsableCores(), kMaxParallelParts) - 1, batches_ - 1);
  if (threads <= 0) return;
  threads_.reserve(static_cast<std::size_t>(threads));
  for (int worker = 1; worker <= threads; ++worker) {
    try {
      threads_.emplace_back([this, worker] {
        while (WorkNextBatch(worker)) {
        }
      });
    } catch (...) {
      break;  // no thread (or no room for one): the batches are taken by the threads there are
    }
  }
}

ParallelBatches::~ParallelBatches() {
  Stop();
  for (std::thread& thread : threads_) thread.join();
}

std::int32_t ParallelBatches::Begin(std::int32_t batch) const {
  const std::int64_t begin = std::int64_t{std::max<std::int32_t>(batch, 0)} * perBatch_;
  return static_cast<std::int32_t>(std::min<std::int64_t>(count_, begin));
}

bool ParallelBatches::WorkNextBatch(int worker) {
  // Once all are taken, next_ is left as it is, so that it cannot grow without end.
  if (next_.load(std::memory_order_relaxed) >= batches_) return false;
  const std::int32_t batch = next_.fetch_add(1, std::memory_order_relaxed);
  if (batch >= batches_) return false;
  work_(Batch{worker, batch, Begin(batch), Begin(batch + 1)});
  done_[batch].store(1, std::memory_order_release);
  done_[batch].notify_all();
  return true;
}

bool ParallelBatches::WillBeWorked(std::int32_t batch) const { return batch < stoppedAt_; }

bool ParallelBatches::WaitFor(std::int32_t item) {
  if (item < 0 || item >= count_) return false;
  const std::int32_t batch = item / perBatch_;
  // Every batch below stoppedAt_ was taken up by somebody before the stop, and gets done.
  if (!WillBeWorked(batch)) return false;
  while (done_[batch].load(std::memory_order_acquire) == 0) {
    if (!WorkNextBatch(0)) done_[batch].wait(0, std::memory_order_acquire);
  }
  return true;
}

void ParallelBatches::Finish() {
  while (WorkNextBatch(0)) {
  }
  for (std::int32_t batch = 0; batch < batches_ && WillBeWorked(batch); ++batch) {
    done_[batch].wait(0, std::memory_order_acquire);
  }
}

void ParallelBatches::Stop() {
  if (stoppedAt_ < batches_) return;
  // The batches handed out so far are being worked on; no later one is ever begun.
  stoppedAt_ = std::min(next_.exchange(batches_, std::memory_order_relaxed), batches_);
}

void RunInBatches(std::int32_t count, std::int32_t perBatch, const ParallelBatches::Work& work) {
  ParallelBatches batches(count, perBatch, work);
  batches.Finish();
}
