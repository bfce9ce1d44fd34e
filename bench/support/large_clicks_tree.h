#pragma once
// The large clicks trees of the benchmarks, written once into the temporary folder and kept
// there for later runs (a tree of 4999 events takes a while to write).

#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/clicks_gen/sample_sets.h"

namespace bench {

// The folder of WriteLargeTree(events); empty when it cannot be written.
inline std::string LargeTree(int events) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("nv4bench-clicks-" + std::to_string(events));
  if (fs::exists(dir / "done")) return dir.string();
  fs::remove_all(dir);
  const std::string failure = WriteLargeTree(dir.string(), events);
  if (!failure.empty()) {
    std::fprintf(stderr, "cannot write the large tree: %s\n", failure.c_str());
    return std::string();
  }
  std::FILE* done = std::fopen((dir / "done").c_str(), "w");
  if (done) std::fclose(done);
  return dir.string();
}

}  // namespace bench
