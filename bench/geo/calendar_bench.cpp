// MjdToDate runs for every click read; the table search is its cost.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "geo/calendar.h"

namespace {

void BM_MjdToDate(benchmark::State& state) {
  InitCalendarTables();
  double mjd = 15020.25;
  for (auto _ : state) {
    int32_t y, m, d;
    MjdToDate(mjd, &y, &m, &d);
    benchmark::DoNotOptimize(y + m + d);
    mjd += 37.77;
    if (mjd > 88068) mjd -= 73000;
  }
}
BENCHMARK(BM_MjdToDate);

void BM_StampOfARecord(benchmark::State& state) {
  InitCalendarTables();
  int32_t minute = 0;
  for (auto _ : state) {
    const double mjd = DateToMjd(2023, 8, 12, 21, minute, 17.25f);
    const double tt = DateToTtMjd(2023, 8, 12, 21, minute, 17.25f);
    const double lst = LocalSiderealDeg(2023, 8, 12, 21, minute, 17.25f, 135.5f);
    int32_t y, m, d, h, min;
    float s;
    MjdToDateTime(mjd, &y, &m, &d, &h, &min, &s);
    benchmark::DoNotOptimize(tt + lst + s);
    minute = (minute + 1) % 60;
  }
}
BENCHMARK(BM_StampOfARecord);

}  // namespace
