#pragma once
// Work split across the machine's cores inside one call: the call returns only when every part
// is done, so nothing runs on after it.

#include <cstdint>
#include <functional>

// Most parts one call makes (the machine's cores, at most this many).
inline constexpr int kMaxParallelParts = 8;

// Cuts 0 .. count - 1 into contiguous stretches of at least minPerPart items, at most one per
// core, and runs work(part, begin, end) for each, part 0 holding the first stretch; returns the
// number of parts (0 for no items). One part runs in the calling thread; when no thread can be
// started the remaining parts run there too, in order. work must not touch what another part
// touches, other than reading.
int RunInParallelParts(std::int32_t count, std::int32_t minPerPart,
                       const std::function<void(int part, std::int32_t begin, std::int32_t end)>& work);
