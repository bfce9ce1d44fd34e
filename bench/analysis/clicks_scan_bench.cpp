// Reading is the program's longest wait: the walk of a tree as large as the store holds (10000
// records of 50 clicks, about 60 MB of clicks files) should go at 100 MB/s or better.

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "analysis/click_sight.h"
#include "analysis/clicks_line.h"
#include "analysis/clicks_scan.h"
#include "analysis/record_store.h"
#include "analysis/scrambler.h"
#include "bench/support/large_clicks_tree.h"
#include "geo/calendar.h"
#include "params/app_params.h"
#include "platform/c_locale.h"

namespace {

constexpr int kStations = 50;
constexpr int kEventsPerStation = kMaxRecords / kStations;  // 200
constexpr int kEventsPerFile = 20;
constexpr int kNights = 10;

// One line as the merged clicks writer writes it, scrambled location included.
std::string Line(int event, int station, int pos) {
  const int t = event * 37;
  const float second = static_cast<float>(t % 60) + pos * 0.006f;
  const double lng = 130.0 + station * 0.173, lat = 33.0 + station * 0.061;
  uint32_t a = 0, b = 0;
  const uint32_t c = 2654435761u * static_cast<uint32_t>(event * kStations + station + 1);
  ScrambleLocation(lng, lat, c, &a, &b);
  return platform::StringPrintfC(
      "%4d,%02d,%02d,%02d,%02d,%.3f,%d,%.1f,%.1f,%.2f,%.2f,%.3f,%.3f,_ST%02d,_A,%.2f,%.2f,%.1f,"
      "%u,%u,%u,%.2f,%.4f\r\n",
      2007, 1, 1 + t / 86400, t / 3600 % 24, t / 60 % 60, second, pos, 320.5 + pos * 3.1,
      240.2 + pos * 1.7, 250.0 + pos * 0.2, 40.0 - pos * 0.3, 80.0 + pos * 0.05,
      25.0 - pos * 0.04, station, lng, lat, 40.0 + station, a, b, c, 36.5, 0.05);
}

// The tree, made once per run: kNights folders, one file per station and kEventsPerFile events.
struct Tree {
  std::string root;
  int64_t bytes = 0;

  Tree() {
    root = std::filesystem::temp_directory_path() / "nv4_clicks_scan_bench";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    const int filesPerStation = kEventsPerStation / kEventsPerFile;
    for (int station = 0; station < kStations; ++station) {
      for (int f = 0; f < filesPerStation; ++f) {
        std::string folder = root + platform::StringPrintfC("/night%02d", f % kNights);
        std::filesystem::create_directories(folder);
        std::string path = folder + platform::StringPrintfC("/ST%02d_%02d_clicks.csv", station, f);
        std::string text =
            "_Y_ut,_M_ut,_D_ut,_h_ut,_m_ut,_s_ut,_pos,_x,_y,_az,_ev,_ra,_dec,_lid,_sid,_long,"
            "_lat,_alt,,,,_gioidh,_ddeg\r\n";
        for (int e = f * kEventsPerFile; e < (f + 1) * kEventsPerFile; ++e) {
          for (int pos = 1; pos <= kMaxClicksPerRecord; ++pos) text += Line(e, station, pos);
        }
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
        bytes += static_cast<int64_t>(text.size());
      }
    }
  }
  ~Tree() { std::filesystem::remove_all(root); }
};

const Tree& TheTree() {
  static const Tree tree;
  return tree;
}

void BM_ScanClicksDir(benchmark::State& state) {
  InitCalendarTables();
  AP.tz = 32400;
  const Tree& tree = TheTree();
  for (auto _ : state) {
    EmptyRecordStore();
    ScanClicksDir(tree.root.c_str());
  }
  const RecordStore& store = theRecordStore();
  if (store.recordCount != kMaxRecords || store.records[0].clickCount != kMaxClicksPerRecord) {
    state.SkipWithError("the tree did not read as 10000 records of 50 clicks");
  }
  state.SetBytesProcessed(state.iterations() * tree.bytes);
  state.counters["MB"] = static_cast<double>(tree.bytes) / 1e6;
}
BENCHMARK(BM_ScanClicksDir)->Unit(benchmark::kMillisecond)->UseRealTime();

// The walk alone of a folder, with no window and no selection after it; its records, clicks and
// files as counters.
void ScanFolder(benchmark::State& state, const std::string& folder) {
  if (folder.empty()) {
    state.SkipWithError("no folder");
    return;
  }
  InitCalendarTables();
  SetDefaultAppParams();
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file() && IsClicksFileName(entry.path().filename().c_str())) ++files;
  }
  for (auto _ : state) {
    EmptyRecordStore();
    ScanClicksDir(folder.c_str());
  }
  const RecordStore& store = theRecordStore();
  int64_t clicks = 0;
  for (int i = 0; i < store.recordCount; ++i) clicks += store.records[i].clickCount;
  state.counters["records"] = store.recordCount;
  state.counters["clicks"] = static_cast<double>(clicks);
  state.counters["files"] = files;
  EmptyRecordStore();
}

// The tree that the window benchmarks read: the largest that the selection pairs (9998 records
// of 50 clicks, one file each) ...
void BM_ScanLargestPairedTree(benchmark::State& state) {
  ScanFolder(state, bench::LargeTree(4999));
}
BENCHMARK(BM_ScanLargestPairedTree)->Unit(benchmark::kMillisecond)->UseRealTime();

// ... the same lines in one merged file, as the merged clicks writer leaves them ...
void BM_ScanLargestPairedTreeMerged(benchmark::State& state) {
  const std::string tree = bench::LargeTree(4999);
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "nv4bench-clicks-4999-merged";
  if (!tree.empty() && !std::filesystem::exists(folder / "Mx_ALL_clicksb.csv")) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tree)) {
      if (IsClicksFileName(entry.path().filename().c_str())) names.push_back(entry.path());
    }
    std::sort(names.begin(), names.end());
    std::filesystem::create_directories(folder);
    std::ofstream merged(folder / "Mx_ALL_clicksb.csv", std::ios::binary);
    for (const std::string& name : names) {
      std::ifstream in(name, std::ios::binary);
      merged << in.rdbuf();
    }
  }
  ScanFolder(state, tree.empty() ? std::string() : folder.string());
}
BENCHMARK(BM_ScanLargestPairedTreeMerged)->Unit(benchmark::kMillisecond)->UseRealTime();

// ... and the small tree shipped in data/clicks.
void BM_ScanDemoTree(benchmark::State& state) {
  ScanFolder(state, std::string(NV4_SOURCE_DIR) + "/data/clicks");
}
BENCHMARK(BM_ScanDemoTree)->Unit(benchmark::kMillisecond)->UseRealTime();

// A file named like a clicks file that holds no line end at all (zero bytes, as a full disk or a
// broken copy leaves one): one over-long line, read in a time that grows with the file's size,
// so that 128 MB take about 4 times what 32 MB take.
void BM_ScanFileWithNoLineEnd(benchmark::State& state) {
  const long long megabytes = state.range(0);
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      platform::StringPrintfC("nv4bench-no-line-end-%lld", megabytes);
  const std::filesystem::path file = folder / "zeros_clicks.csv";
  if (!std::filesystem::exists(file)) {
    std::filesystem::create_directories(folder);
    std::ofstream(file, std::ios::binary).close();
    std::filesystem::resize_file(file, static_cast<std::uintmax_t>(megabytes) << 20);
  }
  ScanFolder(state, folder.string());
  state.SetBytesProcessed(state.iterations() * (megabytes << 20));
}
BENCHMARK(BM_ScanFileWithNoLineEnd)
    ->Arg(32)
    ->Arg(128)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The parts of one line's cost: splitting and scanning its fields ...
void BM_ParseClicksLine(benchmark::State& state) {
  std::string line = Line(3, 7, 25);
  line.resize(line.size() - 2);  // without its CR LF
  ClicksLine parsed;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ParseClicksLine(line.c_str(), &parsed));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(line.size()));
}
BENCHMARK(BM_ParseClicksLine);

// ... and the line of sight of its click.
void BM_ComputeClickSight(benchmark::State& state) {
  ObservationRecord& r = theRecordStore().records[0];
  r.lng = 139.7f;
  r.lat = 35.7f;
  r.ttMjd = 54101.8337;
  r.lstDeg = 180.79;
  r.clicks.ra[0] = 80.125;
  r.clicks.dec[0] = 25.5;
  r.clicks.ddeg[0] = 0.05f;
  for (auto _ : state) {
    ComputeClickSight(&r, 0);
    benchmark::DoNotOptimize(r.clicks.sight[0][0]);
  }
}
BENCHMARK(BM_ComputeClickSight);

}  // namespace
