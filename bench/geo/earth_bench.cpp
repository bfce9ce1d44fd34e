// EcefToGeodetic runs for every triangulated point, DestinationPoint for every ray drawn.
#include <benchmark/benchmark.h>

#include "geo/earth.h"

namespace {

void BM_EcefToGeodetic(benchmark::State& state) {
  double x, y, z;
  GeodeticToEcef(135.5, 35.2, 95000, &x, &y, &z);
  for (auto _ : state) {
    double lon, lat, h;
    EcefToGeodetic(x, y, z, &lon, &lat, &h);
    benchmark::DoNotOptimize(lon + lat + h);
    z += 1.0;
  }
}
BENCHMARK(BM_EcefToGeodetic);

// The slowest case: near the Earth's centre, where the iteration is cut off for the closed form.
void BM_EcefToGeodeticNearCentre(benchmark::State& state) {
  for (auto _ : state) {
    double lon, lat, h;
    EcefToGeodetic(20000, 0, 20000, &lon, &lat, &h);
    benchmark::DoNotOptimize(lon + lat + h);
  }
}
BENCHMARK(BM_EcefToGeodeticNearCentre);

void BM_DestinationPoint(benchmark::State& state) {
  double az = 0;
  for (auto _ : state) {
    double lon, lat;
    DestinationPoint(135.5, 35.2, az, 2.5, &lon, &lat);
    benchmark::DoNotOptimize(lon + lat);
    az += 0.7;
  }
}
BENCHMARK(BM_DestinationPoint);

}  // namespace
