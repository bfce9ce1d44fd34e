#include "fuzz/fuzz_entries.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unordered_set>

#include "analysis/clicks_reader.h"
#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "app/cu_app.h"
#include "app/list_layouts.h"
#include "params/app_dirs.h"
#include "params/app_params.h"
#include "fuzz/fuzz_platform.h"
#include "geo/calendar.h"
#include "groundmap/map_file_loader.h"
#include "groundmap/map_projection.h"
#include "groundmap/map_renderer.h"
#include "groundmap/map_view.h"
#include "ulib/settings_store.h"
#include "ulib/table_cell.h"

namespace fuzz {
namespace {

// ---- Scratch files ---------------------------------------------------------------------------

class Scratch {
 public:
  Scratch() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/nv4fuzz.XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::fprintf(stderr, "cannot make a scratch folder from %s\n", pattern.c_str());
      std::abort();
    }
    path = pattern;
  }
  ~Scratch() {
    std::error_code error;
    std::filesystem::remove_all(path, error);
  }
  std::string path;
};

void WriteWhole(const std::string& path, const std::uint8_t* data, std::size_t size) {
  // A new file rather than the old one cut to nothing: ext4 writes a file cut and rewritten out
  // to the disk when it is closed, which would take most of a run's time.
  std::remove(path.c_str());
  std::FILE* file = std::fopen(path.c_str(), "wb");
  const bool written = file != nullptr && (size == 0 || std::fwrite(data, 1, size, file) == size);
  if (file != nullptr && std::fclose(file) != 0) Finding("cannot close the scratch file " + path);
  if (!written) Finding("cannot write the scratch file " + path);
}

std::string MakeFolder(const std::string& name) {
  std::string path = ScratchPath(name);
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error) Finding("cannot make the scratch folder " + path);
  return path;
}

// ---- What the entries share ------------------------------------------------------------------

// Which entry last set up the store, the tables and AP, so that the map's scene is made again
// after another entry changed them.
enum class Scene { kNone, kClicks, kMap, kSettings };
Scene scene = Scene::kNone;

void PrepareProcess() {
  static const bool prepared = [] {
    InitCalendarTables();
    SetDefaultAppParams();
    return true;
  }();
  (void)prepared;
  // A test may have deleted them; the program keeps them for the whole main dialog.
  if (pairTable == nullptr) pairTable = new CUTable(&PairTable);
  if (resultTable == nullptr) resultTable = new CUTable(&ResultTable);
}

// The read command's settings with every date of the calendar selected.
void UseEveryDate() {
  SetDefaultAppParams();
  AP.y1 = 1900, AP.m1 = 1, AP.d1 = 1;
  AP.y2 = 2100, AP.m2 = 1, AP.d2 = 1;
  ApplyDateRange();
  selectionState = SelectionState{};
}

void EmptyStore() {
  EmptyRecordStore();
  theRecordStore().busy = 0;
}

bool EndsWithin(const char* text, std::size_t size) { return std::memchr(text, 0, size) != nullptr; }

// ---- Clicks ----------------------------------------------------------------------------------

void CheckStore() {
  const RecordStore& store = theRecordStore();
  if (store.recordCount < 0 || store.recordCount > kMaxRecords) {
    Finding("record count " + std::to_string(store.recordCount));
  }
  if (store.stopReading && store.recordCount != kMaxRecords) {
    Finding("reading stopped with " + std::to_string(store.recordCount) + " records");
  }
  std::unordered_set<std::string> stations;
  for (std::int32_t i = 0; i < store.recordCount; ++i) {
    const ObservationRecord& r = store.records[i];
    const std::string which = "record " + std::to_string(i) + ": ";
    if (r.clickCount < 1 || r.clickCount > kMaxClicksPerRecord) {
      Finding(which + std::to_string(r.clickCount) + " clicks");
    }
    if (!EndsWithin(r.lid, sizeof r.lid) || !EndsWithin(r.sid, sizeof r.sid)) {
      Finding(which + "an id without its end");
    }
    if (strnlen(r.localtime, sizeof r.localtime) != 15 || !EndsWithin(r.key, sizeof r.key)) {
      Finding(which + "a stamp or key without its end");
    }
    if (r.Y_ut < kCalendarFirstYear || r.Y_ut > kCalendarLastYear || !std::isfinite(r.mjd) ||
        r.mjd < store.minMjd || r.mjd > store.maxMjd) {
      Finding(which + "a date outside the calendar or the store's span");
    }
    std::string station = std::string(r.localtime) + '\n' + r.lid + '\n' + r.sid;
    if (!stations.insert(std::move(station)).second) {
      Finding(which + "a second record of one stamp and station");
    }
  }
}

std::int32_t Int(const CUTable* table, std::int32_t row, std::int32_t column) {
  return ReadCellInt(table->LiveCell(row, column));
}

void CheckTables() {
  const RecordStore& store = theRecordStore();
  auto record = [&](std::int32_t index) -> const ObservationRecord* {
    if (index < 0 || index >= store.recordCount) return nullptr;
    return &store.records[index];
  };
  for (std::int32_t row = 0; row < pairTable->rowCount; ++row) {
    if (!pairTable->RowExists(row)) continue;
    if (!record(Int(pairTable, row, kPairRec1)) || !record(Int(pairTable, row, kPairRec2))) {
      Finding("pair row " + std::to_string(row) + " names a record that is not stored");
    }
  }
  for (std::int32_t row = 0; row < resultTable->rowCount; ++row) {
    if (!resultTable->RowExists(row)) continue;
    const std::int32_t pair = Int(resultTable, row, kResultRline);
    if (!pairTable->RowExists(pair)) {
      Finding("result row " + std::to_string(row) + " names a pair row that does not exist");
    }
    const ObservationRecord* a = record(Int(pairTable, pair, kPairRec1));
    const ObservationRecord* b = record(Int(pairTable, pair, kPairRec2));
    const std::int32_t c1 = Int(resultTable, row, kResultC1);
    const std::int32_t c2 = Int(resultTable, row, kResultC2);
    if (c1 < 0 || c1 >= a->clickCount || c2 < 0 || c2 >= b->clickCount) {
      Finding("result row " + std::to_string(row) + " names a click that is not stored");
    }
  }
}

// The live rows of a table that a CSV filter lets through (filterColumn 0: all of them).
std::int32_t RowsWritten(const CUTable* table, std::int32_t filterColumn, std::int32_t lo,
                         std::int32_t hi) {
  std::int32_t rows = 0;
  for (std::int32_t row = 0; row < table->rowCount; ++row) {
    if (!table->RowExists(row)) continue;
    const std::int32_t value = filterColumn ? Int(table, row, filterColumn) : lo;
    rows += value >= lo && value <= hi;
  }
  return rows;
}

// Writes a table's CSV file and checks that it holds the header and one line per row written,
// each ended by CR LF (no cell text can hold a line end: the reader splits lines at them).
void WriteAndCheckCsv(const CUTable* table, const char* name, std::int32_t filterColumn,
                      std::int32_t lo, std::int32_t hi) {
  const std::string path = ScratchPath(name);
  std::remove(path.c_str());
  if (!table->WriteCsv(path.c_str(), filterColumn, lo, hi, 0)) {
    Finding(std::string(name) + " could not be written");
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) Finding(std::string(name) + " was not written");
  std::int32_t lines = 0;
  int previous = 0;
  for (int c = std::fgetc(file); c != EOF; previous = c, c = std::fgetc(file)) {
    if (c != '\n') continue;
    if (previous != '\r') {
      std::fclose(file);
      Finding(std::string(name) + " has a line that does not end in CR LF");
    }
    ++lines;
  }
  std::fclose(file);
  if (lines != RowsWritten(table, filterColumn, lo, hi) + 1) {
    Finding(std::string(name) + " holds " + std::to_string(lines) + " lines");
  }
}

// ---- Ground map ------------------------------------------------------------------------------

// One station's view of one event from two stations 130 km apart (the demo data's first
// event), so that a loaded map is drawn with results on it.
constexpr const char* kSceneClicks =
    "_Y_ut,_M_ut,_D_ut,_h_ut,_m_ut,_s_ut,_pos,_x,_y,_az,_ev,_ra,_dec,_lid,_sid,_long,_lat,_alt,"
    ",,,_gioidh,_ddeg\n"
    "2023,08,12,15,12,4.250,1,320.0,240.0,99.6216,59.3266,357.680356,24.673609,_NV01,_A,"
    "135.50000,34.70000,60.0,1020579788,2007486759,3674775113,37.00,0.0500\n"
    "2023,08,12,15,12,4.250,2,330.9,240.9,100.7160,59.2411,357.483462,24.137298,_NV01,_A,"
    "135.50000,34.70000,60.0,1020579788,2007486759,3674775113,37.00,0.0500\n"
    "2023,08,12,15,12,4.250,3,342.6,242.1,101.8796,59.1161,357.297142,23.552489,_NV01,_A,"
    "135.50000,34.70000,60.0,1020579788,2007486759,3674775113,37.00,0.0500\n"
    "2023,08,12,15,12,4.250,4,353.9,242.9,103.0092,59.0411,357.062462,23.008338,_NV01,_A,"
    "135.50000,34.70000,60.0,1020579788,2007486759,3674775113,37.00,0.0500\n"
    "2023,08,12,15,12,4.550,1,320.0,240.0,226.5833,51.0536,298.142595,5.360628,_NV02,_A,"
    "136.90000,35.15000,50.0,2071778792,2073011412,3499657460,38.00,0.0500\n"
    "2023,08,12,15,12,4.550,2,317.3,246.9,226.3116,50.3595,297.865554,4.700992,_NV02,_A,"
    "136.90000,35.15000,50.0,2071778792,2073011412,3499657460,38.00,0.0500\n"
    "2023,08,12,15,12,4.550,3,315.2,254.5,226.1067,49.6052,297.522783,4.015754,_NV02,_A,"
    "136.90000,35.15000,50.0,2071778792,2073011412,3499657460,38.00,0.0500\n"
    "2023,08,12,15,12,4.550,4,312.8,260.9,225.8675,48.9594,297.266445,3.402512,_NV02,_A,"
    "136.90000,35.15000,50.0,2071778792,2073011412,3499657460,38.00,0.0500\n";
constexpr int kSceneResults = 4;

void PrepareMapScene() {
  if (scene == Scene::kMap) return;
  UseEveryDate();
  EmptyStore();
  const std::string path = ScratchPath("scene_clicks.csv");
  WriteWhole(path, reinterpret_cast<const std::uint8_t*>(kSceneClicks),
             std::strlen(kSceneClicks));
  ReadClicksCsv(path.c_str());
  SelectAndPair();
  if (resultTable->rowCount != kSceneResults) {
    Finding("the map's scene has " + std::to_string(resultTable->rowCount) + " results");
  }
  if (FuzzPlatform* platform = CurrentFuzzPlatform()) platform->ClearMessages();
  scene = Scene::kMap;
}

// What a failed load must leave as it was: the geometry, and the shown raster's levels (all of
// them for a small map, a sample of every row's stretches for a large one).
struct MapState {
  groundmap::MapProjection projection;
  std::uint64_t rasterHash = 0;
};

MapState CurrentMapState() {
  MapState state;
  state.projection = groundmap::mapProjection;
  const groundmap::MapProjection& p = state.projection;
  if (p.raster == nullptr || p.CX <= 0 || p.CY <= 0) return state;
  const std::size_t pixels = static_cast<std::size_t>(p.CX) * static_cast<std::size_t>(p.CY);
  const std::size_t step = pixels <= (1u << 18) ? 1 : 61;
  std::uint64_t hash = 1469598103934665603ull;
  for (std::size_t i = 0; i < pixels; i += step) hash = (hash ^ p.raster[i]) * 1099511628211ull;
  state.rasterHash = hash;
  return state;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameMap(const MapState& a, const MapState& b) {
  const groundmap::MapProjection& p = a.projection;
  const groundmap::MapProjection& q = b.projection;
  return p.CX == q.CX && p.CY == q.CY && SameBits(p.centreLon, q.centreLon) &&
         SameBits(p.centreLat, q.centreLat) && SameBits(p.halfFov, q.halfFov) &&
         SameBits(p.scale, q.scale) && p.raster == q.raster && a.rasterHash == b.rasterHash;
}

void CheckLoadedMap() {
  const groundmap::MapProjection& p = groundmap::mapProjection;
  if (p.CX < 1 || p.CX > groundmap::kMaxMapWidth || p.CY < 1 ||
      p.CY > groundmap::kMaxMapHeight) {
    Finding("a loaded map of " + std::to_string(p.CX) + " x " + std::to_string(p.CY));
  }
  // A map one pixel wide has scale 0 (half its width, by integer division, is 0): loaded, but
  // drawn as no map.
  if (p.raster == nullptr || !(p.scale >= 0.0) || !std::isfinite(p.scale) ||
      (p.scale == 0.0) != (p.CX < 2) || !(p.halfFov > 0.0 && p.halfFov < 90.0) ||
      !(std::fabs(p.centreLat) <= 90.0)) {
    Finding("a loaded map without a projection");
  }
}

void Render(groundmap::MapRenderer& renderer, MapRun& run) {
  renderer.Redraw();
  ++run.renders;
  if (renderer.labelCount < 0 || renderer.labelCount > groundmap::kMaxMapLabels) {
    Finding("a render left " + std::to_string(renderer.labelCount) + " labels");
  }
  if (groundmap::mapView.topLeftX < 0 || groundmap::mapView.topLeftY < 0) {
    Finding("a render placed the view before the map's first pixel");
  }
  for (const groundmap::MapLabel& label : renderer.labels) {
    if (&label - renderer.labels >= renderer.labelCount) break;
    if (!EndsWithin(label.text, sizeof label.text)) Finding("a label without its end");
  }
}

void RenderScene(MapRun& run) {
  static groundmap::MapRenderer renderer;
  renderer.W = 64;
  renderer.H = 48;
  AP.g_line = 1;
  AP.g_text = 1;
  for (const std::int32_t mono : {0, 1}) {
    AP.bw = mono;
    selectionState = SelectionState{};
    for (const float zoom : {1.0f, 5.0f, 100.0f}) {
      AP.g_zoom = zoom;
      AP.g_ofh = AP.g_ofv = 0.0f;
      Render(renderer, run);
    }
    // A view pushed far off the map is brought back inside it.
    AP.g_zoom = 5.0f;
    AP.g_ofh = 170.0f;
    AP.g_ofv = -80.0f;
    Render(renderer, run);
    AP.g_ofh = AP.g_ofv = 0.0f;
    // A selected result, then the pair view of three of them with their clicks highlighted.
    selectionState.selectedResult = 0;
    selectionState.selectedPair = Int(resultTable, 0, kResultRline);
    Render(renderer, run);
    selectionState.pairView = 1;
    for (std::int32_t row = 0; row < 3; ++row) {
      selectionState.selectedResult = row;
      selectionState.selectedPair = Int(resultTable, row, kResultRline);
      selectionState.highlight1 = Int(resultTable, row, kResultC1);
      selectionState.highlight2 = Int(resultTable, row, kResultC2);
      Render(renderer, run);
    }
  }
  selectionState = SelectionState{};
}

// ---- Settings --------------------------------------------------------------------------------

// The layouts as the program starts with them, before any settings file wrote over them.
struct LayoutDefaults {
  ListLayout layouts[kSettingsLayoutCount];
};

const LayoutDefaults& DefaultLayouts() {
  static const LayoutDefaults defaults = [] {
    LayoutDefaults d;
    for (int i = 0; i < kSettingsLayoutCount; ++i) d.layouts[i] = *kSettingsLayouts[i].layout;
    return d;
  }();
  return defaults;
}

// The state of a fresh start-up before it reads the settings file.
void FreshStartUp() {
  SetDefaultAppParams();
  const LayoutDefaults& defaults = DefaultLayouts();
  for (int i = 0; i < kSettingsLayoutCount; ++i) *kSettingsLayouts[i].layout = defaults.layouts[i];
}

void SetFolder(char (&folder)[kStartDirChars], const std::string& path) {
  if (path.size() >= sizeof folder) Finding("scratch folder too long: " + path);
  std::memcpy(folder, path.c_str(), path.size() + 1);
}

void CheckSettingTexts() {
  for (const SettingsKey& key : kSettingsKeys) {
    if (key.type != SettingType::kText || key.value == nullptr) continue;
    if (!EndsWithin(static_cast<const char*>(key.value), static_cast<std::size_t>(key.textSize))) {
      Finding(std::string(key.key) + " has no end inside its buffer");
    }
  }
}

// What one start-up took from the file, as far as the next start-up must take it again.
struct SettingsSnapshot {
  AppParams params;
  ListLayout layouts[kSettingsLayoutCount];
};

SettingsSnapshot TakeSnapshot() {
  SettingsSnapshot snapshot;
  snapshot.params = AP;
  for (int i = 0; i < kSettingsLayoutCount; ++i) snapshot.layouts[i] = *kSettingsLayouts[i].layout;
  return snapshot;
}

// The global of key inside a snapshot's copy of AP.
const void* InSnapshot(const SettingsSnapshot& snapshot, const SettingsKey& key) {
  const auto offset = static_cast<const char*>(key.value) - reinterpret_cast<const char*>(&AP);
  return reinterpret_cast<const char*>(&snapshot.params) + offset;
}

void CheckSameSettings(const SettingsSnapshot& before) {
  for (const SettingsKey& key : kSettingsKeys) {
    if (key.value == nullptr || !key.written) continue;
    const void* was = InSnapshot(before, key);
    const bool same =
        key.type == SettingType::kText
            ? std::strncmp(static_cast<const char*>(was), static_cast<const char*>(key.value),
                           static_cast<std::size_t>(key.textSize)) == 0
            : std::memcmp(was, key.value, 4) == 0;
    if (!same) Finding(std::string(key.key) + " reads back changed");
  }
  for (int i = 0; i < kSettingsLayoutCount; ++i) {
    const ListLayout& was = before.layouts[i];
    const ListLayout& now = *kSettingsLayouts[i].layout;
    for (int c = 0; c < now.columnCount && c < kMaxListColumns; ++c) {
      if (was.columns[c].shown != now.columns[c].shown ||
          was.columns[c].width != now.columns[c].width) {
        Finding(std::string("layout ") + kSettingsLayouts[i].prefix + " column " +
                std::to_string(c) + " reads back changed");
      }
    }
  }
}

}  // namespace

const std::string& ScratchFolder() {
  static const Scratch scratch;
  return scratch.path;
}

std::string ScratchPath(const std::string& name) { return ScratchFolder() + "/" + name; }

ClicksRun FuzzClicksFile(const std::uint8_t* data, std::size_t size) {
  PrepareProcess();
  scene = Scene::kClicks;
  UseEveryDate();
  EmptyStore();
  ClicksRun run;
  run.path = ScratchPath("fuzz_clicks.csv");
  WriteWhole(run.path, data, size);

  ReadClicksCsv(run.path.c_str());
  CheckStore();
  SelectAndPair();
  CheckTables();
  // As "write results" writes the marked results; the pair table whole.
  WriteAndCheckCsv(pairTable, "NVpair.csv", 0, 0, 0);
  WriteAndCheckCsv(resultTable, "NVResult.csv", kResultMark, 1, 2);

  const RecordStore& store = theRecordStore();
  run.records = store.recordCount;
  for (std::int32_t i = 0; i < store.recordCount; ++i) run.clicks += store.records[i].clickCount;
  run.pairRows = pairTable->rowCount;
  run.resultRows = resultTable->rowCount;
  return run;
}

MapRun FuzzGroundMap(const std::uint8_t* data, std::size_t size) {
  PrepareProcess();
  PrepareMapScene();
  MapRun run;
  run.path = ScratchPath("fuzz_map.DAT");
  WriteWhole(run.path, data, size);

  const MapState before = CurrentMapState();
  run.loaded = groundmap::LoadGroundMap(run.path.c_str()) == 1;
  if (!run.loaded) {
    if (!SameMap(before, CurrentMapState())) Finding("a map that did not load changed the map");
    return run;
  }
  CheckLoadedMap();
  RenderScene(run);
  return run;
}

SettingsRun FuzzSettings(const std::uint8_t* data, std::size_t size) {
  PrepareProcess();
  DefaultLayouts();  // before any file writes over the layouts
  scene = Scene::kSettings;
  SetFolder(startDir, MakeFolder("start"));
  SetFolder(myDocumentsDir, MakeFolder("documents"));
  SettingsRun run;
  run.path = std::string(startDir) + "/" + kSettingsFileName;
  WriteWhole(run.path, data, size);

  FreshStartUp();
  CUApp::LoadSettings();
  CheckSettingTexts();
  const SettingsSnapshot loaded = TakeSnapshot();
  CUApp::SaveSettings();
  std::error_code error;
  const auto written = std::filesystem::file_size(run.path, error);
  if (error || written == 0 || written > static_cast<std::uintmax_t>(kSettingsBufferBytes)) {
    Finding("the settings were not written whole");
  }

  // The next start-up.
  FuzzPlatform* platform = CurrentFuzzPlatform();
  const std::size_t messages = platform ? platform->MessageCount() : 0;
  FreshStartUp();
  CUApp::LoadSettings();
  CheckSameSettings(loaded);
  if (platform && platform->MessageCount() != messages) {
    Finding("the settings written made a message when read");
  }
  return run;
}

}  // namespace fuzz
