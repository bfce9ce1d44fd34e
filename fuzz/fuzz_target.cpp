// A libFuzzer target over one entry of fuzz_entries.h, chosen when it is built (NV4_FUZZ_ENTRY).

#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_platform.h"

namespace {

fuzz::FuzzPlatform& Platform() {
  // Installed for the whole process; never taken down, since libFuzzer ends it by exit.
  static fuzz::ScopedFuzzPlatform* const platform =
      new fuzz::ScopedFuzzPlatform(fuzz::FindingMode::kAbort);
  return **platform;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Platform();
  fuzz::ScratchFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Platform().ClearMessages();
  Platform().ClearCalls();
  NV4_FUZZ_ENTRY(data, size);
  return 0;
}
