// EcefToGeodetic runs for every triangulated point (two at a time), DestinationPoint for every
// ray drawn.
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

// Two points of the triangulation's kind at once: against twice BM_EcefToGeodetic.
void BM_EcefToGeodetic2(benchmark::State& state) {
  double ecef[2][3];
  GeodeticToEcef(135.5, 35.2, 95000, &ecef[0][0], &ecef[0][1], &ecef[0][2]);
  GeodeticToEcef(136.1, 34.6, 88000, &ecef[1][0], &ecef[1][1], &ecef[1][2]);
  for (auto _ : state) {
    double lon[2], lat[2], h[2];
    EcefToGeodetic2(ecef, lon, lat, h);
    benchmark::DoNotOptimize(lon[0] + lat[0] + h[0] + lon[1] + lat[1] + h[1]);
    ecef[0][2] += 1.0;
    ecef[1][2] += 1.0;
  }
}
BENCHMARK(BM_EcefToGeodetic2);

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
