// The largest pass the store allows: 9999 records of 50 clicks, 3333 events seen by three
// stations, each event more than AP.dt after the one before. Goals: selection, sort and the
// pairing scan (9999 pairs) under 50 ms; triangulation under 1.5 us per result (about 500000).

#include <cmath>
#include <cstdio>
#include <cstring>

#include <benchmark/benchmark.h>

#include "analysis/local_stamp.h"
#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "analysis/triangulation.h"
#include "geo/angles.h"
#include "geo/calendar.h"
#include "geo/earth.h"
#include "params/app_params.h"

namespace {

constexpr int kStations = 3;
constexpr int kEvents = (kMaxRecords - 1) / kStations;  // 3333
constexpr double kEventSpacingSec = 10;                 // AP.dt is 3

struct Vec {
  double x, y, z;
};
Vec Sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec Unit(Vec a) {
  const double n = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
  return {a.x / n, a.y / n, a.z / n};
}
Vec Ecef(double lng, double lat, double heightM) {
  Vec v;
  GeodeticToEcef(lng, lat, heightM, &v.x, &v.y, &v.z);
  return v;
}
void Put(double (&slots)[3][kMaxClicksPerRecord], int k, Vec v) {
  slots[0][k] = v.x, slots[1][k] = v.y, slots[2][k] = v.z;
}

// Three stations about 100 km around 136.2 E 34.5 N, so that every pair of them sees the
// flights above the middle with planes 60 degrees or so apart.
constexpr float kStationLng[kStations] = {135.4f, 137.0f, 136.3f};
constexpr float kStationLat[kStations] = {34.0f, 34.0f, 33.4f};
constexpr const char* kStationId[kStations] = {"NV01", "NV02", "NV03"};

// Fills the store with the events, station after station (as a walk of one folder per station
// reads them), each record with clicks = 50 or 0.
void FillStore(int clicks) {
  InitCalendarTables();
  SetDefaultAppParams();
  EmptyRecordStore();
  AP.y1 = 2023, AP.m1 = 8, AP.d1 = 1, AP.y2 = 2023, AP.m2 = 9, AP.d2 = 1;
  RecordStore& store = theRecordStore();
  const double startMjd = DateToMjd(2023, 8, 12, 12, 0, 0);
  for (int s = 0; s < kStations; ++s) {
    const float lng = kStationLng[s], lat = kStationLat[s];
    Vec up;
    DirectionVector(lng, lat, &up.x, &up.y, &up.z);
    for (int e = 0; e < kEvents; ++e) {
      ObservationRecord& r = store.records[store.recordCount++];
      r = ObservationRecord{};
      std::snprintf(r.lid, sizeof r.lid, "%s", kStationId[s]);
      std::snprintf(r.sid, sizeof r.sid, "A");
      r.lng = lng, r.lat = lat, r.alt = 50, r.gioidh = 36;
      r.mjd = startMjd + (e * kEventSpacingSec + 0.1 * s) / 86400;
      const float height = r.alt + r.gioidh;
      GeodeticToEcef(lng, lat, height, &r.ecef[0], &r.ecef[1], &r.ecef[2]);
      LocalStamp stamp{};
      MakeLocalStamp(r.mjd, AP.tz, &stamp);
      FormatLocalStamp(stamp, r.localtime);
      std::snprintf(r.key, sizeof r.key, "%04d%02d%02d%02d%02d%02d%s%s", stamp.year, stamp.month,
                    stamp.day, stamp.hour, stamp.minute, stamp.second, kStationId[s], "A");
      const Vec station{r.ecef[0], r.ecef[1], r.ecef[2]};
      r.clickCount = clicks;
      for (int k = 0; k < clicks; ++k) {
        // A flight from 110 km down to 80 km above the middle of the stations.
        const double f = k / 49.0;
        const Vec p = Ecef(136.2 + 0.3 * f + 0.0001 * (e % 100), 34.4 + 0.1 * f, 110000 - 30000 * f);
        const Vec moved = Ecef(136.2 + 0.3 * f + 0.0011, 34.4 + 0.1 * f - 0.0007, 110100 - 30000 * f);
        const Vec d = Sub(p, station), dMoved = Sub(moved, station);
        r.clicks.pos[k] = k + 1;
        r.clicks.ddeg[k] = 0.05f;
        Put(r.clicks.sight, k, Unit(d));
        Put(r.clicks.planeNormal, k, Unit(Cross(d, up)));
        Put(r.clicks.sightPerturbed, k, Unit(dMoved));
        Put(r.clicks.planeNormalPerturbed, k, Unit(Cross(dMoved, up)));
        double az, dist;
        double pLng, pLat, pH;
        EcefToGeodetic(p.x, p.y, p.z, &pLng, &pLat, &pH);
        AzimuthAndDistance(lat, pLng - lng, pLat - lat, &az, &dist);
        r.clicks.az[k] = static_cast<float>(az < 0 ? az + 360 : az);
      }
    }
  }
}

struct Tables {
  Tables() {
    pairTable = new CUTable(&PairTable);
    resultTable = new CUTable(&ResultTable);
  }
  ~Tables() {
    delete resultTable;
    delete pairTable;
    resultTable = pairTable = nullptr;
  }
};

// Selection, sort and pairing scan: records without clicks, so nothing is triangulated.
void BM_SelectSortPair(benchmark::State& state) {
  FillStore(0);
  Tables tables;
  for (auto _ : state) {
    SelectAndPair();
    benchmark::DoNotOptimize(pairTable->rowCount);
  }
  if (pairTable->rowCount != kEvents * 3) state.SkipWithError("pairs missing");
  state.counters["pairs"] = pairTable->rowCount;
}
BENCHMARK(BM_SelectSortPair)->Unit(benchmark::kMillisecond);

// The whole pass with 50 clicks a record; time per result.
void BM_SelectAndTriangulate(benchmark::State& state) {
  FillStore(kMaxClicksPerRecord);
  Tables tables;
  int64_t results = 0;
  for (auto _ : state) {
    SelectAndPair();
    results += resultTable->rowCount;
  }
  state.counters["results"] = resultTable->rowCount;
  state.counters["per_result"] =
      benchmark::Counter(static_cast<double>(results), benchmark::Counter::kIsRate |
                                                           benchmark::Counter::kInvert);
}
BENCHMARK(BM_SelectAndTriangulate)->Unit(benchmark::kMillisecond)->MinTime(3);

// Triangulation alone: every pair of the pass again into an emptied result table.
void BM_TriangulatePair(benchmark::State& state) {
  FillStore(kMaxClicksPerRecord);
  Tables tables;
  SelectAndPair();
  const ObservationRecord* records = theRecordStore().records;
  int64_t results = 0;
  for (auto _ : state) {
    state.PauseTiming();
    resultTable->Clear();
    state.ResumeTiming();
    for (int row = 0; row < pairTable->rowCount; ++row) {
      const ObservationRecord& a = records[ReadCellInt(pairTable->LiveCell(row, kPairRec1))];
      const ObservationRecord& b = records[ReadCellInt(pairTable->LiveCell(row, kPairRec2))];
      TriangulatePair(resultTable, *pairTable, row, a, b);
    }
    results += resultTable->rowCount;
  }
  state.counters["results"] = resultTable->rowCount;
  state.counters["per_result"] =
      benchmark::Counter(static_cast<double>(results), benchmark::Counter::kIsRate |
                                                           benchmark::Counter::kInvert);
}
BENCHMARK(BM_TriangulatePair)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace
