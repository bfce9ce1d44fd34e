// A full render at the largest picture (1920 x 1200) of the shipped map with a few hundred
// results, in colour and in mono chrome, with and without lines (goal: under 5 ms); and one of
// every result of the largest tree the store pairs (4999 pairs of 50 positions), re-centred on
// them as a read leaves the view.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

#include "analysis/clicks_scan.h"
#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "bench/support/large_clicks_tree.h"
#include "geo/calendar.h"
#include "groundmap/map_file_loader.h"
#include "groundmap/map_projection.h"
#include "groundmap/map_renderer.h"
#include "groundmap/map_view.h"
#include "params/app_params.h"
#include "ulib/table_cell.h"

namespace {

// Pairs of stations in central Japan, each with a few events 50 to 150 km away.
void FillTables(int results) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> lon(134.5, 140.0), lat(33.5, 36.5), off(-1.2, 1.2);
  for (int n = 0; n < results;) {
    const std::int32_t pair = pairTable->AddRow();
    const double lon1 = lon(random), lat1 = lat(random);
    WriteCellFloat(pairTable->CellForWrite(pair, kPairLng1), static_cast<float>(lon1));
    WriteCellFloat(pairTable->CellForWrite(pair, kPairLat1), static_cast<float>(lat1));
    WriteCellFloat(pairTable->CellForWrite(pair, kPairLng2),
                   static_cast<float>(lon1 + off(random)));
    WriteCellFloat(pairTable->CellForWrite(pair, kPairLat2),
                   static_cast<float>(lat1 + off(random)));
    pairTable->SetString(pair, kPairId1, "NV0123");
    pairTable->SetString(pair, kPairId2, "NV0456");
    pairTable->SetString(pair, kPairLocaltime, "20240812_213456");
    for (int k = 0; k < 4 && n < results; ++k, ++n) {
      const std::int32_t row = resultTable->AddRow();
      WriteCellUint(resultTable->CellForWrite(row, kResultMark), 1);
      WriteCellInt(resultTable->CellForWrite(row, kResultRline), pair);
      WriteCellFloat(resultTable->CellForWrite(row, kResultLng),
                     static_cast<float>(lon1 + off(random)));
      WriteCellFloat(resultTable->CellForWrite(row, kResultLat),
                     static_cast<float>(lat1 + off(random)));
    }
  }
}

void BM_RenderLargestPicture(benchmark::State& state) {
  const std::string path = std::string(NV4_SOURCE_DIR) + "/data/GMe136n34_16.DAT";
  if (groundmap::LoadGroundMap(path.c_str()) != 1) state.SkipWithError("no map");
  SetDefaultAppParams();
  SetDateRange(2024, 8, 12, 2024, 8, 13);
  selectionState = SelectionState{};
  pairTable = new CUTable(&PairTable);
  resultTable = new CUTable(&ResultTable);
  FillTables(static_cast<int>(state.range(0)));
  AP.bw = static_cast<std::int32_t>(state.range(1));
  AP.g_line = static_cast<std::int32_t>(state.range(2));
  AP.g_zoom = static_cast<float>(state.range(3));

  groundmap::MapRenderer renderer;
  renderer.W = groundmap::kMaxImageWidth;
  renderer.H = groundmap::kMaxImageHeight;
  for (auto _ : state) {
    renderer.Redraw();
    benchmark::DoNotOptimize(groundmap::mapImage.pixels[0]);
  }
  state.counters["labels"] = renderer.labelCount;
  delete resultTable;
  delete pairTable;
  resultTable = pairTable = nullptr;
}
// results, mono chrome, lines, zoom
BENCHMARK(BM_RenderLargestPicture)
    ->ArgNames({"results", "mono", "lines", "zoom"})
    ->Args({300, 0, 1, 5})
    ->Args({300, 1, 1, 5})
    ->Args({300, 0, 0, 5})
    ->Args({300, 0, 1, 10})
    ->Args({0, 0, 1, 5})
    ->Unit(benchmark::kMillisecond);

// Every result of the largest paired tree, at the default zoom with lines, in colour or mono
// chrome; the view is centred on the results and stations, as "read clicls" leaves it.
void BM_RenderFullResultSet(benchmark::State& state) {
  const std::string path = std::string(NV4_SOURCE_DIR) + "/data/GMe136n34_16.DAT";
  const std::string tree = bench::LargeTree(4999);
  if (groundmap::LoadGroundMap(path.c_str()) != 1 || tree.empty()) {
    state.SkipWithError("no map or no tree");
    return;
  }
  InitCalendarTables();
  SetDefaultAppParams();
  EmptyRecordStore();
  selectionState = SelectionState{};
  pairTable = new CUTable(&PairTable);
  resultTable = new CUTable(&ResultTable);
  ScanClicksDir(tree.c_str());
  AP.y1 = 2023, AP.m1 = 8, AP.d1 = 12, AP.y2 = 2023, AP.m2 = 8, AP.d2 = 14;
  SelectAndPair();
  SetDateRange(2023, 8, 12, 2023, 8, 14);
  AP.bw = static_cast<std::int32_t>(state.range(0));

  groundmap::MapRenderer renderer;
  renderer.W = groundmap::kMaxImageWidth;
  renderer.H = groundmap::kMaxImageHeight;
  renderer.Redraw();
  groundmap::MapView& view = groundmap::mapView;
  view.viewCentreLon = (view.minLon + view.maxLon) * 0.5;
  view.viewCentreLat = (view.minLat + view.maxLat) * 0.5;
  for (auto _ : state) {
    renderer.Render();
    benchmark::DoNotOptimize(groundmap::mapImage.pixels[0]);
  }
  state.counters["records"] = theRecordStore().recordCount;
  state.counters["pairs"] = pairTable->rowCount;
  state.counters["positions"] = resultTable->rowCount;
  state.counters["labels"] = renderer.labelCount;
  // FNV-1a of the picture's bytes, 32 bits (exact in a counter): the same in every build.
  std::uint32_t hash = 2166136261u;
  const std::size_t bytes = static_cast<std::size_t>(renderer.W) * renderer.H * 3;
  for (std::size_t i = 0; i < bytes; ++i) hash = (hash ^ groundmap::mapImage.pixels[i]) * 16777619u;
  state.counters["picture_fnv32"] = hash;
  delete resultTable;
  delete pairTable;
  resultTable = pairTable = nullptr;
  EmptyRecordStore();
}
BENCHMARK(BM_RenderFullResultSet)->ArgNames({"mono"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
