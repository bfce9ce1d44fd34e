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
