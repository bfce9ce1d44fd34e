#include "ulib/parallel_chunks.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace {

int PartsFor(std::int32_t count, std::int32_t minPerPart) {
  if (count <= 0) return 0;
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const std::int32_t byWork = count / std::max<std::int32_t>(1, minPerPart);
  return static_cast<int>(std::clamp<std::int32_t>(byWork, 1, std::min(cores, kMaxParallelParts)));
}

std::int32_t PartBegin(std::int32_t count, int parts, int part) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(count) * part / parts);
}

}  // namespace

ParallelParts::ParallelParts(std::int32_t count, std::int32_t minPerPart,
                             std::function<void(int, std::int32_t, std::int32_t)> work)
    : count_(count),
      parts_(PartsFor(count, minPerPart)),
      work_(std::move(work)),
      done_(new std::atomic<int>[static_cast<std::size_t>(std::max(parts_, 1))]),
      ranHere_(static_cast<std::size_t>(std::max(parts_, 1)), false) {
  for (int part = 0; part < parts_; ++part) done_[part].store(0);
  if (parts_ < 2) return;  // one part: run where it is waited for
  threads_.reserve(static_cast<std::size_t>(parts_));
  for (; started_ < parts_; ++started_) {
    const int part = started_;
    try {
      threads_.emplace_back([this, part] {
        work_(part, Begin(part), Begin(part + 1));
        done_[part].store(1, std::memory_order_release);
        done_[part].notify_all();
      });
    } catch (const std::system_error&) {
      break;
    }
  }
}

ParallelParts::~ParallelParts() {
  for (int part = started_; part < parts_; ++part) WaitFor(part);
  for (std::thread& thread : threads_) thread.join();
}

std::int32_t ParallelParts::Begin(int part) const { return PartBegin(count_, parts_, part); }

void ParallelParts::WaitFor(int part) {
  if (part < 0 || part >= parts_) return;
  if (part >= started_) {
    if (!ranHere_[static_cast<std::size_t>(part)]) {
      ranHere_[static_cast<std::size_t>(part)] = true;
      work_(part, Begin(part), Begin(part + 1));
    }
    return;
  }
  done_[part].wait(0, std::memory_order_acquire);
}

int RunInParallelParts(std::int32_t count, std::int32_t minPerPart,
                       const std::function<void(int, std::int32_t, std::int32_t)>& work) {
  const int parts = PartsFor(count, minPerPart);
  if (parts == 0) return 0;
  auto begin = [count, parts](int part) { return PartBegin(count, parts, part); };
  std::vector<std::thread> threads;
  threads.reserve(static_cast<std::size_t>(parts - 1));
  int started = 1;
  for (; started < parts; ++started) {
    try {
      threads.emplace_back(work, started, begin(started), begin(started + 1));
    } catch (const std::system_error&) {
      break;
    }
  }
  work(0, begin(0), begin(1));
  // Parts no thread took, in the calling thread.
  for (int part = started; part < parts; ++part) work(part, begin(part), begin(part + 1));
  for (std::thread& thread : threads) thread.join();
  return parts;
}

ParallelBatches::ParallelBatches(std::int32_t count, std::int32_t perBatch,
                                 std::function<void(std::int32_t, std::int32_t)> work)
    : count_(std::max<std::int32_t>(count, 0)),
      perBatch_(std::max<std::int32_t>(perBatch, 1)),
      batches_((count_ + perBatch_ - 1) / perBatch_),
      work_(std::move(work)),
      done_(new std::atomic<int>[static_cast<std::size_t>(std::max(batches_, 1))]) {
  for (std::int32_t batch = 0; batch < batches_; ++batch) done_[batch].store(0);
  // The caller works too, while it waits.
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const int threads = std::min<std::int32_t>(std::min(cores, kMaxParallelParts) - 1, batches_ - 1);
  if (threads <= 0) return;
  threads_.reserve(static_cast<std::size_t>(threads));
  for (int i = 0; i < threads; ++i) {
    try {
      threads_.emplace_back([this] {
        while (WorkNextBatch()) {
        }
      });
    } catch (const std::system_error&) {
      break;
    }
  }
}

ParallelBatches::~ParallelBatches() {
  Stop();
  for (std::thread& thread : threads_) thread.join();
}

bool ParallelBatches::WorkNextBatch() {
  const std::int32_t batch = next_.fetch_add(1, std::memory_order_relaxed);
  if (batch >= batches_) return false;
  const std::int32_t begin = batch * perBatch_;
  work_(begin, std::min(count_, begin + perBatch_));
  done_[batch].store(1, std::memory_order_release);
  done_[batch].notify_all();
  return true;
}

void ParallelBatches::WaitFor(std::int32_t item) {
  if (item < 0 || item >= count_) return;
  const std::int32_t batch = item / perBatch_;
  while (done_[batch].load(std::memory_order_acquire) == 0) {
    if (!WorkNextBatch()) done_[batch].wait(0, std::memory_order_acquire);
  }
}

void ParallelBatches::Stop() { next_.store(batches_, std::memory_order_relaxed); }
