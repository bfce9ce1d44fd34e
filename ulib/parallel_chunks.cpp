#include "ulib/parallel_chunks.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

int RunInParallelParts(std::int32_t count, std::int32_t minPerPart,
                       const std::function<void(int, std::int32_t, std::int32_t)>& work) {
  if (count <= 0) return 0;
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const std::int32_t byWork = count / std::max<std::int32_t>(1, minPerPart);
  const int parts =
      static_cast<int>(std::clamp<std::int32_t>(byWork, 1, std::min(cores, kMaxParallelParts)));
  auto begin = [count, parts](int part) {
    return static_cast<std::int32_t>(static_cast<std::int64_t>(count) * part / parts);
  };
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
