// Filling and writing a result-sized table: rows are added in blocks and strings go to the
// pool, so neither should call the heap per row.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "ulib/string_pool.h"
#include "ulib/table_store.h"

namespace {

constexpr TableDescriptor kBench = {
    "NVbench.csv", 210, 10000, 8,
    {{CellExist, 0, "exist"},
     {CellInt, 1, "n"},
     {CellCheck, 1, "*"},
     {CellFloat, 1, "lng"},
     {CellFloat, 1, "lat"},
     {CellDouble, 1, "h"},
     {CellString, 1, "lid"},
     {CellString, 1, "localtime"}}};

void Fill(CUTable& table, int rows) {
  for (int i = 0; i < rows; ++i) {
    const int row = table.AddRow();
    WriteCellInt(table.CellForWrite(row, 1), i);
    WriteCellUint(table.CellForWrite(row, 2), static_cast<std::uint32_t>(i % 3));
    WriteCellFloat(table.CellForWrite(row, 3), 136.5f + static_cast<float>(i) * 1e-4f);
    WriteCellFloat(table.CellForWrite(row, 4), 34.25f);
    WriteCellDouble(table.CellForWrite(row, 5), 95.125);
    table.SetString(row, 6, "TK1");
    table.SetString(row, 7, "20070105_031415");
  }
}

void BM_FillAndClear(benchmark::State& state) {
  UcbufAlloc("initial str");
  CUTable table(&kBench);
  for (auto _ : state) {
    Fill(table, static_cast<int>(state.range(0)));
    table.Clear();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  UcbufFreeAll();
}
// 500000 rows are the results of the largest pass: fifty blocks of rows and a dozen blocks of
// the pool's strings, all kept by Clear and filled again, so every lookup of a row's block and
// of a string's block must not depend on how many come before it.
BENCHMARK(BM_FillAndClear)->Arg(1000)->Arg(30000)->Arg(500000);

void BM_WriteCsv(benchmark::State& state) {
  UcbufAlloc("initial str");
  CUTable table(&kBench);
  Fill(table, static_cast<int>(state.range(0)));
  const std::string path = std::string(NV4_BINARY_DIR) + "/table_store_bench.csv";
  for (auto _ : state) benchmark::DoNotOptimize(table.WriteCsv(path.c_str(), 2, 1, 2, 0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
  std::remove(path.c_str());
  UcbufFreeAll();
}
BENCHMARK(BM_WriteCsv)->Arg(10000);

}  // namespace
