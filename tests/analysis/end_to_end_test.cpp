// From clicks files to heights: synthetic flights of known positions (written by
// tools/clicks_gen into tests/fixtures/analysis/e2e and data/clicks) are read, paired and
// triangulated, and every result is held against the truth written beside the clicks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "analysis/clicks_scan.h"
#include "analysis/record_store.h"
#include "analysis/result_tables.h"
#include "analysis/selection.h"
#include "analysis/triangulation.h"
#include "geo/calendar.h"
#include "geo/earth.h"
#include "params/app_params.h"
#include "platform/scripted_platform.h"
#include "tests/support/truth_files.h"
#include "ulib/table_cell.h"

namespace {

using CallKind = platform::ScriptedPlatform::CallKind;

const std::string kFixtures = std::string(NV4_SOURCE_DIR) + "/tests/fixtures/analysis/e2e/";

struct Vec {
  double x, y, z;
};
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Norm(Vec a) { return std::sqrt(Dot(a, a)); }
Vec Unit(Vec a) { return {a.x / Norm(a), a.y / Norm(a), a.z / Norm(a)}; }
Vec StationOf(const ObservationRecord& r) { return {r.ecef[0], r.ecef[1], r.ecef[2]}; }
Vec Ecef(double lng, double lat, double heightM) {
  Vec v;
  GeodeticToEcef(lng, lat, heightM, &v.x, &v.y, &v.z);
  return v;
}

using nv4test::TruePoint;
using nv4test::Truth;
Vec EcefOf(const TruePoint& t) { return {t.xM, t.yM, t.zM}; }

// One result row with the records of its pair.
struct Result {
  int pos;
  double lng, lat, h1, h2, dh, qc, ld1, ld2;
  double dlng, dlat, dh1, dh2, dl1, dl2;
  int rec1, rec2, c1, c2;
};

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitCalendarTables();
    SetDefaultAppParams();
    pairTable = new CUTable(&PairTable);
    resultTable = new CUTable(&ResultTable);
  }
  void TearDown() override {
    delete resultTable;
    delete pairTable;
    resultTable = pairTable = nullptr;
    EmptyRecordStore();
  }

  // Reads the folder as the read command does and runs the pass over [date1, date2).
  void ReadAndPair(const std::string& dir, int y1, int m1, int d1, int y2, int m2, int d2) {
    EmptyRecordStore();
    ASSERT_EQ(ScanClicksDir(dir.c_str()), 0) << dir;
    AP.y1 = y1, AP.m1 = m1, AP.d1 = d1, AP.y2 = y2, AP.m2 = m2, AP.d2 = d2;
    SelectAndPair();
    EXPECT_TRUE(scripted->CallsOf(CallKind::kMessage).empty())
        << scripted->CallsOf(CallKind::kMessage)[0].text;
  }
  void ReadFixture(const std::string& name) { ReadAndPair(kFixtures + name, 2021, 3, 20, 2021, 3, 21); }

  static std::vector<Result> Results() {
    std::vector<Result> out;
    auto f = [](int row, int column) -> double {
      return ReadCellFloat(resultTable->LiveCell(row, column));
    };
    for (int row = 0; row < resultTable->rowCount; ++row) {
      const int pairRow = ReadCellInt(resultTable->LiveCell(row, kResultRline));
      out.push_back({ReadCellInt(resultTable->LiveCell(row, kResultPos)), f(row, kResultLng),
                     f(row, kResultLat), f(row, kResultH1), f(row, kResultH2), f(row, kResultDH),
                     f(row, kResultQc), f(row, kResultLd1), f(row, kResultLd2),
                     f(row, kResultDlng), f(row, kResultDlat), f(row, kResultDh1),
                     f(row, kResultDh2), f(row, kResultDl1), f(row, kResultDl2),
                     ReadCellInt(pairTable->LiveCell(pairRow, kPairRec1)),
                     ReadCellInt(pairTable->LiveCell(pairRow, kPairRec2)),
                     ReadCellInt(resultTable->LiveCell(row, kResultC1)),
                     ReadCellInt(resultTable->LiveCell(row, kResultC2))});
    }
    return out;
  }

  static const ObservationRecord& Record(int index) { return theRecordStore().records[index]; }

  // The true point of a result: of the event that started nearest to the time of the pair's
  // first record (station clocks differ by less than a second).
  static const TruePoint& TrueOf(const Truth& truth, const Result& r) {
    const nv4test::EventTruth* nearest = nv4test::EventNear(truth, Record(r.rec1).mjd);
    EXPECT_NE(nearest, nullptr) << "no event near " << Record(r.rec1).localtime;
    static const TruePoint none{};
    return nearest && nearest->count(r.pos) ? nearest->at(r.pos) : none;
  }

  // Convergence angle of the two stations' vertical planes through the point, degrees.
  static double TrueQc(const ObservationRecord& a, const ObservationRecord& b, Vec p) {
    auto normal = [&](const ObservationRecord& r) {
      Vec up;
      DirectionVector(r.lng, r.lat, &up.x, &up.y, &up.z);
      return Unit(Cross(p - StationOf(r), up));
    };
    return std::asin(std::min(1.0, Norm(Cross(normal(a), normal(b))))) * 57.29577951308234;
  }

  platform::ScopedScriptedPlatform scripted;
};

TEST_F(EndToEndTest, ExactClicksGiveEveryPointBackWithinMetres) {
  ReadFixture("exact");
  const Truth truth = nv4test::ReadTruthFolder(kFixtures + "exact");
  ASSERT_EQ(pairTable->rowCount, 1);
  const std::vector<Result> results = Results();
  ASSERT_EQ(results.size(), 25u);
  for (const Result& r : results) {
    SCOPED_TRACE(r.pos);
    const TruePoint& t = TrueOf(truth, r);
    const ObservationRecord& a = Record(r.rec1);
    const ObservationRecord& b = Record(r.rec2);
    EXPECT_NEAR(r.h1 * 1000, t.heightM, 5);
    EXPECT_NEAR(r.h2 * 1000, t.heightM, 5);
    EXPECT_NEAR(r.lng, t.lng, 1e-4);
    EXPECT_NEAR(r.lat, t.lat, 1e-4);
    EXPECT_NEAR(r.dh, 0, 0.005);
    EXPECT_NEAR(r.qc, TrueQc(a, b, EcefOf(t)), 0.01);
    EXPECT_NEAR(r.ld1, Norm(EcefOf(t) - StationOf(a)) / 1000, 0.005);
    EXPECT_NEAR(r.ld2, Norm(EcefOf(t) - StationOf(b)) / 1000, 0.005);
    for (double estimate : {r.dlng, r.dlat, r.dh1, r.dh2, r.dl1, r.dl2}) EXPECT_EQ(estimate, 0);
  }
}

// With ddeg d, each estimate is the change of the result when every click moves by +d in
// azimuth and in elevation.
TEST_F(EndToEndTest, ErrorEstimatesAreTheChangeOfTheShiftedClicks) {
  auto byPos = [](const std::vector<Result>& results) {
    std::map<int, Result> out;
    for (const Result& r : results) out[r.pos] = r;
    return out;
  };
  ReadFixture("exact");
  const std::map<int, Result> exact = byPos(Results());
  ReadFixture("shifted");
  const std::map<int, Result> shifted = byPos(Results());
  ReadFixture("ddeg");
  const std::map<int, Result> estimated = byPos(Results());
  ASSERT_EQ(exact.size(), 25u);
  ASSERT_EQ(shifted.size(), 25u);
  ASSERT_EQ(estimated.size(), 25u);

  // Tolerances: 2% of the change, plus what the single-precision cells of the two results
  // leave of their difference.
  auto expectChange = [](double estimate, double change, double cellUlp) {
    EXPECT_NEAR(estimate, change, 0.02 * change + 2 * cellUlp);
  };
  for (const auto& [pos, e] : estimated) {
    SCOPED_TRACE(pos);
    const Result& x = exact.at(pos);
    const Result& s = shifted.at(pos);
    EXPECT_GT(e.dh1, 0.01);
    expectChange(e.dlng, std::fabs(s.lng - x.lng), 1.6e-5);
    expectChange(e.dlat, std::fabs(s.lat - x.lat), 4e-6);
    expectChange(e.dh1, std::fabs(s.h1 - x.h1), 1e-5);
    expectChange(e.dh2, std::fabs(s.h2 - x.h2), 1e-5);
    expectChange(e.dl1, std::fabs(s.ld1 - x.ld1), 1e-5);
    expectChange(e.dl2, std::fabs(s.ld2 - x.ld2), 1e-5);
  }
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

TEST_F(EndToEndTest, NoisyClicksStayWithinTheirErrorEstimates) {
  ReadFixture("noisy");
  const Truth truth = nv4test::ReadTruthFolder(kFixtures + "noisy");
  EXPECT_EQ(pairTable->rowCount, 8);
  const std::vector<Result> results = Results();
  ASSERT_GT(results.size(), 200u);
  std::vector<double> heightRatios, lngRatios, latRatios;
  for (const Result& r : results) {
    const TruePoint& t = TrueOf(truth, r);
    heightRatios.push_back(std::fabs(r.h1 * 1000 - t.heightM) / (r.dh1 * 1000));
    lngRatios.push_back(std::fabs(r.lng - t.lng) / r.dlng);
    latRatios.push_back(std::fabs(r.lat - t.lat) / r.dlat);
  }
  for (double median : {Median(heightRatios), Median(lngRatios), Median(latRatios)}) {
    EXPECT_GT(median, 0.2);
    EXPECT_LT(median, 5);
  }
}

// Each result lies on the other station's vertical plane: the point of A's line is where that
// plane cuts it.
TEST_F(EndToEndTest, ResultsLieOnTheOtherStationsVerticalPlane) {
  ReadFixture("noisy");
  const std::vector<Result> results = Results();
  ASSERT_FALSE(results.empty());
  for (const Result& r : results) {
    SCOPED_TRACE(r.pos);
    const ObservationRecord& a = Record(r.rec1);
    const ObservationRecord& b = Record(r.rec2);
    const Vec normalB{b.clicks.planeNormal[0][r.c2], b.clicks.planeNormal[1][r.c2],
                      b.clicks.planeNormal[2][r.c2]};
    // As stored: single-precision cells place the point within a few metres.
    EXPECT_NEAR(Dot(Ecef(r.lng, r.lat, r.h1 * 1000) - StationOf(b), normalB), 0, 3.0);
    // As computed.
    double lng, lat, height;
    IntersectSightWithPlane(a, r.c1, b, r.c2, &lng, &lat, &height);
    EXPECT_NEAR(Dot(Ecef(lng, lat, height) - StationOf(b), normalB), 0, 1e-3);
  }
}

TEST_F(EndToEndTest, PairsOfPoorGeometryGiveNoResults) {
  struct Case {
    const char* fixture;
    float minQc;
    int results;
  };
  const Case cases[] = {
      {"low_qc", 30, 0},         {"low_qc", 10, 25},         {"far", 30, 0},
      {"azimuth_off", 30, 0},    {"azimuth_within", 30, 25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.fixture) + " with AP.Qc " + std::to_string(c.minQc));
    AP.Qc = c.minQc;
    ReadFixture(c.fixture);
    EXPECT_EQ(pairTable->rowCount, 1);
    EXPECT_EQ(resultTable->rowCount, c.results);
  }

  // What makes those fixtures poor.
  ReadFixture("low_qc");
  const Truth lowQc = nv4test::ReadTruthFolder(kFixtures + "low_qc");
  for (const auto& [pos, t] : lowQc.begin()->second) {
    const double qc = TrueQc(Record(0), Record(1), EcefOf(t));
    EXPECT_GT(qc, 10);
    EXPECT_LT(qc, 30);
  }
  ReadFixture("far");
  const Truth far = nv4test::ReadTruthFolder(kFixtures + "far");
  for (const auto& [pos, t] : far.begin()->second) {
    const Vec p = EcefOf(t);
    const double km =
        std::max(Norm(p - StationOf(Record(0))), Norm(p - StationOf(Record(1)))) / 1000;
    EXPECT_GT(km, 1000);
    EXPECT_LT(km, 1100);
    // Planes that meet wide enough: only the distance refuses these points.
    EXPECT_GT(TrueQc(Record(0), Record(1), p), 40);
  }
}

TEST_F(EndToEndTest, DemoTreePairsAndTriangulatesEveryEvent) {
  const std::string dir = std::string(NV4_SOURCE_DIR) + "/data/clicks";
  ReadAndPair(dir, 2023, 8, 1, 2024, 1, 1);
  const Truth truth = nv4test::ReadTruthFolder(dir, true);
  // Eight events seen by three stations (three pairs each) and three by two.
  EXPECT_EQ(pairTable->rowCount, 8 * 3 + 3);
  // Noise of 0.02 degrees: tens of metres where the planes meet wide, a few hundred where they
  // meet near the least angle of 30 degrees.
  std::vector<double> errorsM;
  std::map<std::string, int> resultsOfEvent;  // by local minute
  for (const Result& r : Results()) {
    const TruePoint& t = TrueOf(truth, r);
    EXPECT_NEAR(r.h1 * 1000, t.heightM, 1000);
    errorsM.push_back(std::fabs(r.h1 * 1000 - t.heightM));
    ++resultsOfEvent[std::string(Record(r.rec1).localtime).substr(0, 13)];
  }
  EXPECT_LT(Median(errorsM), 100);
  EXPECT_EQ(resultsOfEvent.size(), 11u);
}

}  // namespace
