// The selection pass on the largest tree the store pairs (9998 records of 50 clicks: 4999 pairs
// of 50 positions), read once from its files, with no windows: selection, sort, pairing and
// triangulation into the pair and result tables, as every threshold change runs it.

#include <benchmark/benchmark.h>

#include <string>

#include "analysis/clicks_scan.h"
#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "bench/support/large_clicks_tree.h"
#include "geo/calendar.h"
#include "params/app_params.h"

namespace {

void BM_SelectionPassOnLargestTree(benchmark::State& state) {
  const std::string tree = bench::LargeTree(4999);
  if (tree.empty()) {
    state.SkipWithError("no tree");
    return;
  }
  InitCalendarTables();
  SetDefaultAppParams();
  EmptyRecordStore();
  pairTable = new CUTable(&PairTable);
  resultTable = new CUTable(&ResultTable);
  ScanClicksDir(tree.c_str());
  // The whole tree: its events lie on 12 and 13 August 2023.
  AP.y1 = 2023, AP.m1 = 8, AP.d1 = 12, AP.y2 = 2023, AP.m2 = 8, AP.d2 = 14;
  for (auto _ : state) {
    SelectAndPair();
    benchmark::DoNotOptimize(resultTable->rowCount);
  }
  state.counters["records"] = theRecordStore().recordCount;
  state.counters["inDate"] = selectedRecords.selectedCount;
  state.counters["pairs"] = pairTable->rowCount;
  state.counters["positions"] = resultTable->rowCount;
  delete resultTable;
  delete pairTable;
  resultTable = pairTable = nullptr;
  EmptyRecordStore();
}
BENCHMARK(BM_SelectionPassOnLargestTree)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
