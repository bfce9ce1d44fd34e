// make_seeds: writes the seeds that only the program's own writers make into fuzz/seeds/ (or the
// folder given): a merged clicks file of the demo data, two settings files and small maps. Its
// output is kept with the sources; run it again when a writer's format changes.
//
//   nv4_make_seeds [SEEDS_FOLDER]

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/clicks_scan.h"
#include "analysis/clicks_writer.h"
#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/scrambler.h"
#include "analysis/selection.h"
#include "app/cu_app.h"
#include "app/list_layouts.h"
#include "params/app_dirs.h"
#include "params/app_params.h"
#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_platform.h"
#include "geo/calendar.h"
#include "groundmap/map_file_encoder.h"

namespace {

namespace fs = std::filesystem;

bool Fail(const std::string& why) {
  std::fprintf(stderr, "make_seeds: %s\n", why.c_str());
  return false;
}

// The first demo event of 2023-08-12 (three stations), merged as "write clicks" merges it. The
// scrambling numbers come from a fixed clock, so the file is the same at every run.
bool WriteMergedClicks(const std::string& folder) {
  InitCalendarTables();
  SetDefaultAppParams();
  AP.y1 = 2023, AP.m1 = 8, AP.d1 = 12;
  AP.y2 = 2023, AP.m2 = 8, AP.d2 = 13;
  pairTable = new CUTable(&PairTable);
  resultTable = new CUTable(&ResultTable);
  EmptyRecordStore();
  const std::string demo = std::string(NV4_SOURCE_DIR) + "/data/clicks/20230812";
  ScanClicksDir(demo.c_str());
  SelectAndPair();
  if (selectedRecords.selectedCount == 0) return Fail("no demo records in " + demo);
  InstallScrambleClock([] { return ClockReading{1691853124u, 250u}; });
  scrambleState = 1;
  scrambleLow24 = 1;
  const std::string path = folder + "/clicks/M20230812_ALL_clicksb.csv";
  const int32_t count = selectedRecords.selectedCount < 3 ? selectedRecords.selectedCount : 3;
  if (!WriteMergedClicksFile(path.c_str(), selectedRecords.selected, count)) {
    return Fail("cannot write " + path);
  }
  return true;
}

bool SaveSettingsAs(const std::string& path) {
  const std::string start = fuzz::ScratchPath("start");
  fs::create_directories(start);
  std::snprintf(startDir, sizeof startDir, "%s", start.c_str());
  CUApp::SaveSettings();
  std::error_code error;
  fs::copy_file(start + "/" + kSettingsFileName, path, fs::copy_options::overwrite_existing, error);
  return !error || Fail("cannot write " + path);
}

// The settings of a first run, and of a run where the user changed every kind of setting.
bool WriteSettings(const std::string& folder) {
  std::snprintf(myDocumentsDir, sizeof myDocumentsDir, "%s", fuzz::ScratchFolder().c_str());
  SetDefaultAppParams();
  std::snprintf(AP.indir, sizeof AP.indir, "%s", "/tmp");
  std::snprintf(AP.outdir, sizeof AP.outdir, "%s", "/tmp");
  if (!SaveSettingsAs(folder + "/settings/first_run.qrd")) return false;

  AP.dlgrect = ScreenRect{-32000, -32000, -31840, -31970};
  AP.showcmd = 3;
  std::snprintf(AP.indir, sizeof AP.indir, "%s", "/home/observer/clicks 2023");
  std::snprintf(AP.g_map, sizeof AP.g_map, "%s", "GMw075s33_08.DAT");
  AP.y1 = 2023, AP.m1 = 12, AP.d1 = 14;
  AP.y2 = 2024, AP.m2 = 1, AP.d2 = 1;
  AP.latest = 1;
  AP.GD = 12.5f;
  AP.dt = 0.75f;
  AP.Qc = 2.0f;
  AP.tz = -18000;
  AP.bw = 1;
  AP.g_zoom = 37.5f;
  AP.g_ofh = -1.25f;
  AP.g_ofv = 0.5f;
  AP.g_line = 0;
  for (const SettingsLayout& entry : kSettingsLayouts) {
    ListLayout& layout = *entry.layout;
    for (int i = 0; i < layout.columnCount; i += 2) {
      layout.columns[i].shown = 0;
      layout.columns[i].width = 17 + i;
    }
  }
  return SaveSettingsAs(folder + "/settings/changed.qrd");
}

bool WriteMap(const std::string& path, int cx, int cy, double lon, double lat, double halfFov,
              int (*level)(int x, int y)) {
  std::vector<std::uint8_t> raster(static_cast<std::size_t>(cx) * cy);
  for (int y = 0; y < cy; ++y) {
    for (int x = 0; x < cx; ++x) raster[static_cast<std::size_t>(y) * cx + x] = level(x, y);
  }
  std::string bytes, error;
  if (!groundmap::EncodeGroundMap(groundmap::MakeMapHeader(cx, cy, lon, lat, halfFov),
                                  raster.data(), &bytes, &error) ||
      !groundmap::WriteMapFile(path.c_str(), bytes, &error)) {
    return Fail(path + ": " + error);
  }
  return true;
}

// Small maps with short and long runs of every level, one across 180 degrees, and one row as
// wide as a map may be.
bool WriteMaps(const std::string& folder) {
  const std::string maps = folder + "/groundmap/";
  return WriteMap(maps + "levels_64x48.DAT", 64, 48, 135.5, 34.7, 2.0,
                  [](int x, int y) { return (x / (1 + y % 9) + y) % 16; }) &&
         WriteMap(maps + "coast_across_180_96x64.DAT", 96, 64, 179.5, -40.0, 20.0,
                  [](int x, int y) { return x + y / 2 > 80 ? 8 : 0; }) &&
         WriteMap(maps + "one_row_3200x1.DAT", 3200, 1, 0.0, 89.0, 45.0,
                  [](int x, int) { return x < 2100 ? 15 : (x % 3 == 0 ? 1 : 0); }) &&
         WriteMap(maps + "one_pixel.DAT", 1, 1, -75.0, -33.0, 0.0001, [](int, int) { return 7; });
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder =
      argc > 1 ? argv[1] : std::string(NV4_SOURCE_DIR) + "/fuzz/seeds";
  fuzz::ScopedFuzzPlatform platform(fuzz::FindingMode::kAbort);
  for (const char* sub : {"clicks", "groundmap", "settings"}) fs::create_directories(folder + "/" + sub);
  const bool ok = WriteMergedClicks(folder) && WriteSettings(folder) && WriteMaps(folder);
  for (const auto& message : platform->Messages()) {
    std::fprintf(stderr, "[%s] %s\n", message.caption.c_str(), message.text.c_str());
  }
  return ok ? 0 : 1;
}
