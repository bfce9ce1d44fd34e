// One call per click; the clicks of a record share a time and so one precession matrix.
#include <benchmark/benchmark.h>

#include "geo/horizontal.h"

namespace {

void BM_EquatorialToHorizontalSameTime(benchmark::State& state) {
  double ra = 0;
  for (auto _ : state) {
    double az, el;
    EquatorialToHorizontal(60000.125, 100, 35, ra, 20, &az, &el);
    benchmark::DoNotOptimize(az + el);
    ra += 0.37;
  }
}
BENCHMARK(BM_EquatorialToHorizontalSameTime);

void BM_EquatorialToHorizontalNewTime(benchmark::State& state) {
  double tt = 60000.125;
  for (auto _ : state) {
    double az, el;
    EquatorialToHorizontal(tt, 100, 35, 120, 20, &az, &el);
    benchmark::DoNotOptimize(az + el);
    tt += 1e-5;
  }
}
BENCHMARK(BM_EquatorialToHorizontalNewTime);

}  // namespace
