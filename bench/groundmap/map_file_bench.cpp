// Loading the largest ground maps: the shipped one, and one whose every row is 3200 codes of a
// single pixel (the longest file of the largest size). Goal: under 50 ms.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "groundmap/map_file_encoder.h"
#include "groundmap/map_file_loader.h"
#include "groundmap/map_projection.h"

namespace {

void BM_LoadShippedMap(benchmark::State& state) {
  const std::string path = std::string(NV4_SOURCE_DIR) + "/data/GMe136n34_16.DAT";
  for (auto _ : state) {
    if (groundmap::LoadGroundMap(path.c_str()) != 1) state.SkipWithError("load failed");
  }
}
BENCHMARK(BM_LoadShippedMap)->Unit(benchmark::kMillisecond);

void BM_LoadLongestLargestMap(benchmark::State& state) {
  std::vector<std::uint8_t> raster(groundmap::kMaxMapPixels);
  for (std::size_t i = 0; i < raster.size(); ++i) raster[i] = static_cast<std::uint8_t>(i % 2);
  std::string bytes, error;
  groundmap::EncodeGroundMap(groundmap::MakeMapHeader(3200, 2400, 136, 34, 16), raster.data(),
                             &bytes, &error);
  const std::string path = std::string(NV4_BINARY_DIR) + "/bench_longest_map.DAT";
  if (!groundmap::WriteMapFile(path.c_str(), bytes, &error)) state.SkipWithError(error.c_str());
  for (auto _ : state) {
    if (groundmap::LoadGroundMap(path.c_str()) != 1) state.SkipWithError("load failed");
  }
  state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
  std::remove(path.c_str());
}
BENCHMARK(BM_LoadLongestLargestMap)->Unit(benchmark::kMillisecond);

}  // namespace
