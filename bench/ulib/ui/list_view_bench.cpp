// A list bound to a table of 100000 rows: reloading walks the table once, sorting reads each
// key once, and painting a page asks only for the cells on it, however many lines there are.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>
#include <QWidget>
#include <memory>
#include <random>
#include <string>

#include "ulib/string_pool.h"
#include "ulib/table_store.h"
#include "ulib/ui/cu_list.h"
#include "ulib/ui/list_layout.h"
#include "ulib/ui/list_line_map.h"

namespace {

// The result table's shape: 10000 rows per block, a few dozen columns.
constexpr TableDescriptor kBench = {
    "NVbench.csv", 210, 10000, 10,
    {{CellExist, 0, "exist"},
     {CellInt, 1, "random"},
     {CellInt, 1, "sorted"},
     {CellInt, 1, "reversed"},
     {CellInt, 1, "risefall"},
     {CellFloat, 1, "h"},
     {CellString, 1, "lid"},
     {CellCheck, 1, "*"},
     {CellInt, 0, "dline"},
     {CellInt, 0, "itemdata"}}};
enum { kRandom = 1, kSorted, kReversed, kRiseFall, kHeight, kLid, kStar, kDline, kItemdata };

constexpr int kRows = 100000;

void EnsureApplication() {
  static std::unique_ptr<QApplication> app = [] {
    static int argc = 1;
    static char name[] = "list_view_bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    UcbufAlloc("initial str");
    return std::make_unique<QApplication>(argc, argv);
  }();
}

ListColumn Column(int tableColumn, const char* fmt) {
  ListColumn column{};
  column.tableColumn = tableColumn;
  column.shown = 1;
  column.width = 70;
  std::snprintf(column.fmt, sizeof column.fmt, "%s", fmt);
  return column;
}

struct BenchList {
  explicit BenchList(int rows) : table(&kBench) {
    std::mt19937 random(1);
    const char* kStations[] = {"TK1", "OS2", "HV7", "KU3"};
    for (int i = 0; i < rows; ++i) {
      const int row = table.AddRow();
      WriteCellInt(table.CellForWrite(row, kRandom), static_cast<std::int32_t>(random() % 1000000));
      WriteCellInt(table.CellForWrite(row, kSorted), i);
      WriteCellInt(table.CellForWrite(row, kReversed), rows - i);
      WriteCellInt(table.CellForWrite(row, kRiseFall), i < rows / 2 ? i : rows - i);
      WriteCellFloat(table.CellForWrite(row, kHeight), 80.0f + (i % 997) * 0.01f);
      table.SetString(row, kLid, kStations[i % 4]);
      WriteCellUint(table.CellForWrite(row, kStar), i % 2);
    }
    layout.top = 0;
    layout.bottom = -1;
    layout.left = 0;
    layout.right = -1;
    layout.selectMsg = 0x595;
    layout.sortableHeader = 1;
    layout.dlineColumn = kDline;
    layout.itemdataColumn = kItemdata;
    for (ListColumn c : {Column(kRandom, "%d"), Column(kSorted, "%d"), Column(kReversed, "%d"),
                         Column(kRiseFall, "%d"), Column(kHeight, "%.2f"), Column(kLid, "%s"),
                         Column(kStar, "%b")}) {
      layout.columns[layout.columnCount++] = c;
    }
    parent.resize(800, 600);
    list.Bind(&parent, &layout, &table);
    list.Place(parent.rect());
    list.Reload(0, 0);
    parent.show();
    QApplication::processEvents();
  }
  CUTable table;
  ListLayout layout{};
  QWidget parent;
  CUList list;
};

void BM_Reload(benchmark::State& state) {
  EnsureApplication();
  BenchList bench(kRows);
  for (auto _ : state) {
    bench.list.Reload(0, 0);
    benchmark::DoNotOptimize(bench.list.lineCount());
  }
  state.counters["lines"] = bench.list.lineCount();
}
BENCHMARK(BM_Reload)->Unit(benchmark::kMillisecond);

// Each sort starts from the lines in row order, as after a reload.
void BM_Sort(benchmark::State& state) {
  EnsureApplication();
  BenchList bench(kRows);
  const int column = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    BuildLineMaps(bench.table, bench.layout, 0, 0);
    state.ResumeTiming();
    bench.list.Sort(column, 1);
  }
}
BENCHMARK(BM_Sort)->Arg(kRandom)->Arg(kSorted)->Arg(kReversed)->Arg(kHeight)->Arg(kLid)
    ->Unit(benchmark::kMillisecond);
// The middle pivot's worst case: one line split off per pass.
BENCHMARK(BM_Sort)->Arg(kRiseFall)->Iterations(1)->Unit(benchmark::kMillisecond);

// Painting one page in the middle of the list, for lists of different lengths: the cost
// should not grow with the number of lines.
void BM_PaintPage(benchmark::State& state) {
  EnsureApplication();
  BenchList bench(static_cast<int>(state.range(0)));
  QTableView* view = bench.list.View();
  QScrollBar* bar = view->verticalScrollBar();
  QImage image(view->viewport()->size(), QImage::Format_RGB32);
  int step = 0;
  for (auto _ : state) {
    bar->setValue(bar->maximum() / 2 + (step++ % 7) * 13);
    QPainter painter(&image);
    view->viewport()->render(&painter);
  }
}
BENCHMARK(BM_PaintPage)->Arg(1000)->Arg(kRows)->Unit(benchmark::kMicrosecond);

}  // namespace
