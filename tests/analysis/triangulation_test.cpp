// Triangulation of one pair on records whose lines of sight are set straight from a known
// point, so that every column and every acceptance test can be checked against geometry.

#include "analysis/triangulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "analysis/result_tables.h"
#include "geo/angles.h"
#include "geo/earth.h"
#include "params/app_params.h"
#include "tests/support/locale_guard.h"
#include "ulib/table_cell.h"

namespace {

struct Vec {
  double x, y, z;
};
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator*(double s, Vec a) { return {s * a.x, s * a.y, s * a.z}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Norm(Vec a) { return std::sqrt(Dot(a, a)); }
Vec Unit(Vec a) { return (1 / Norm(a)) * a; }

Vec Ecef(double lng, double lat, double heightM) {
  Vec v;
  GeodeticToEcef(lng, lat, heightM, &v.x, &v.y, &v.z);
  return v;
}

Vec Up(const ObservationRecord& r) {
  Vec v;
  DirectionVector(r.lng, r.lat, &v.x, &v.y, &v.z);
  return v;
}

ObservationRecord MakeStation(float lng, float lat, float alt) {
  ObservationRecord r{};
  r.lng = lng;
  r.lat = lat;
  r.alt = alt;
  r.gioidh = 36;
  const float height = r.alt + r.gioidh;
  GeodeticToEcef(r.lng, r.lat, height, &r.ecef[0], &r.ecef[1], &r.ecef[2]);
  return r;
}

Vec StationOf(const ObservationRecord& r) { return {r.ecef[0], r.ecef[1], r.ecef[2]}; }

// Azimuth (degrees from north, [0, 360)) of a direction at the station.
double AzimuthOf(const ObservationRecord& r, Vec direction) {
  const double l = r.lng * kDegToRad, p = r.lat * kDegToRad;
  const Vec east{-std::sin(l), std::cos(l), 0};
  const Vec north{-std::sin(p) * std::cos(l), -std::sin(p) * std::sin(l), std::cos(p)};
  double az = std::atan2(Dot(direction, east), Dot(direction, north)) * kRadToDeg;
  return az < 0 ? az + 360 : az;
}

void Put(double (&slots)[3][kMaxClicksPerRecord], int k, Vec v) {
  slots[0][k] = v.x;
  slots[1][k] = v.y;
  slots[2][k] = v.z;
}

// A click of the record seeing along `sight` (the perturbed twin along `perturbed`), marked at
// azimuth `markedAz`.
void AddClick(ObservationRecord* r, int pos, Vec sight, Vec perturbed, double markedAz,
              float ddeg) {
  const int k = r->clickCount++;
  Click& c = r->clicks;
  c.pos[k] = pos;
  c.az[k] = static_cast<float>(markedAz);
  c.ddeg[k] = ddeg;
  Put(c.sight, k, Unit(sight));
  Put(c.planeNormal, k, Unit(Cross(sight, Up(*r))));
  Put(c.sightPerturbed, k, Unit(perturbed));
  Put(c.planeNormalPerturbed, k, Unit(Cross(perturbed, Up(*r))));
}

// A click looking at the point, marked at the azimuth toward it.
void Look(ObservationRecord* r, int pos, Vec point, float ddeg = 0) {
  const Vec d = point - StationOf(*r);
  AddClick(r, pos, d, d, AzimuthOf(*r, d), ddeg);
}

class TriangulationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDefaultAppParams();
    pairRow = pairs.AddRow();
    WriteCellInt(pairs.CellForWrite(pairRow, kPairNumber), 5);
    pairs.SetString(pairRow, kPairLocaltime, "20210320_210000");
    pairs.SetString(pairRow, kPairId1, "S1");
    pairs.SetString(pairRow, kPairId2, "S2");
  }

  void Triangulate() { TriangulatePair(&results, pairs, pairRow, A, B); }
  float Cell(int row, int column) const { return ReadCellFloat(results.LiveCell(row, column)); }
  int IntCell(int row, int column) const { return ReadCellInt(results.LiveCell(row, column)); }

  // The two stations every test starts from, without clicks.
  static ObservationRecord StationA() { return MakeStation(135.8f, 34.6f, 100); }
  static ObservationRecord StationB() { return MakeStation(136.5f, 34.2f, 200); }

  CUTable pairs{&PairTable};
  CUTable results{&ResultTable};
  int pairRow = 0;
  ObservationRecord A = StationA();
  ObservationRecord B = StationB();
  const double pointLng = 136.0, pointLat = 34.1, pointHeightM = 90000;
  const Vec point = Ecef(pointLng, pointLat, pointHeightM);
};

TEST_F(TriangulationTest, ExactLinesOfSightGiveThePointInEveryColumn) {
  A.clickCount = B.clickCount = 0;
  Look(&A, 7, point);
  Look(&B, 7, point);
  Triangulate();
  ASSERT_EQ(results.rowCount, 1);

  const Vec nA = Unit(Cross(point - StationOf(A), Up(A)));
  const Vec nB = Unit(Cross(point - StationOf(B), Up(B)));
  const double qc = std::acos(std::fabs(Dot(nA, nB))) * kRadToDeg;
  EXPECT_NEAR(Cell(0, kResultQc), qc, 1e-4);
  EXPECT_NEAR(Cell(0, kResultLng), pointLng, 2e-5);
  EXPECT_NEAR(Cell(0, kResultLat), pointLat, 2e-5);
  EXPECT_NEAR(Cell(0, kResultH1), pointHeightM / 1000, 1e-4);
  EXPECT_NEAR(Cell(0, kResultH2), pointHeightM / 1000, 1e-4);
  EXPECT_NEAR(Cell(0, kResultDH), 0, 1e-6);
  EXPECT_NEAR(Cell(0, kResultLd1), Norm(point - StationOf(A)) / 1000, 1e-4);
  EXPECT_NEAR(Cell(0, kResultLd2), Norm(point - StationOf(B)) / 1000, 1e-4);
  for (int column : {kResultDlng, kResultDlat, kResultDh1, kResultDh2, kResultDl1, kResultDl2})
    EXPECT_EQ(Cell(0, column), 0.0f) << ResultTable.columns[column].name;
  EXPECT_EQ(ReadCellUint(results.LiveCell(0, kResultMark)), 1u);
  EXPECT_EQ(IntCell(0, kResultNumber), 5);
  EXPECT_EQ(IntCell(0, kResultPos), 7);
  EXPECT_EQ(IntCell(0, kResultRline), pairRow);
  EXPECT_EQ(IntCell(0, kResultC1), 0);
  EXPECT_EQ(IntCell(0, kResultC2), 0);
  EXPECT_EQ(IntCell(0, kResultDline), 0);
  EXPECT_EQ(IntCell(0, kResultItemdata), 0);
  EXPECT_STREQ(results.GetStringOrEmpty(0, kResultLocaltime), "20210320_210000");
  EXPECT_STREQ(results.GetStringOrEmpty(0, kResultId1), "S1");
  EXPECT_STREQ(results.GetStringOrEmpty(0, kResultId2), "S2");
}

TEST_F(TriangulationTest, EveryClickOfAPointNumberMeetsEveryMatch) {
  const Vec other = Ecef(136.2, 34.4, 80000);
  Look(&A, 1, other);
  Look(&A, 2, point);
  Look(&A, 2, point);
  Look(&A, 3, point);
  Look(&B, 2, point);
  Look(&B, 4, other);
  Triangulate();
  ASSERT_EQ(results.rowCount, 2);
  EXPECT_EQ(IntCell(0, kResultC1), 1);
  EXPECT_EQ(IntCell(1, kResultC1), 2);
  EXPECT_EQ(IntCell(0, kResultC2), 0);
  EXPECT_EQ(IntCell(1, kResultPos), 2);
}

TEST_F(TriangulationTest, AcceptanceTests) {
  // A point `km` north-east of the station `far`, with `other` moved to see it from the side.
  auto atDistance = [](ObservationRecord* far, ObservationRecord* other, double km) {
    *other = MakeStation(144.5f, 38.5f, 0);
    const Vec toward = Unit(Ecef(140.0, 38.0, 0) - StationOf(*far));
    const Vec p = StationOf(*far) + (km * 1000) * toward;
    Look(far, 1, p);
    Look(other, 1, p);
  };
  const Vec dA = point - StationOf(A);
  const Vec dB = point - StationOf(B);
  struct Case {
    const char* what;
    std::function<void(ObservationRecord*, ObservationRecord*)> setUp;
    float minQc;
    bool row;
  };
  const Case cases[] = {
      {"both see the point", [&](auto* a, auto* b) { Look(a, 1, point), Look(b, 1, point); }, 30,
       true},
      {"convergence below AP.Qc", [&](auto* a, auto* b) { Look(a, 1, point), Look(b, 1, point); },
       89.9f, false},
      {"A marked 9.9 degrees off",
       [&](auto* a, auto* b) {
         AddClick(a, 1, dA, dA, AzimuthOf(*a, dA) + 9.9, 0);
         Look(b, 1, point);
       },
       30, true},
      {"A marked 10.5 degrees off",
       [&](auto* a, auto* b) {
         AddClick(a, 1, dA, dA, AzimuthOf(*a, dA) - 10.5, 0);
         Look(b, 1, point);
       },
       30, false},
      {"B marked 9.9 degrees off",
       [&](auto* a, auto* b) {
         Look(a, 1, point);
         AddClick(b, 1, dB, dB, AzimuthOf(*b, dB) - 9.9, 0);
       },
       30, true},
      {"B marked 10.5 degrees off",
       [&](auto* a, auto* b) {
         Look(a, 1, point);
         AddClick(b, 1, dB, dB, AzimuthOf(*b, dB) + 10.5, 0);
       },
       30, false},
      {"999.9 km from A", [&](auto* a, auto* b) { atDistance(a, b, 999.9); }, 30, true},
      {"1000.1 km from A", [&](auto* a, auto* b) { atDistance(a, b, 1000.1); }, 30, false},
      {"999.9 km from B", [&](auto* a, auto* b) { atDistance(b, a, 999.9); }, 30, true},
      {"1000.1 km from B", [&](auto* a, auto* b) { atDistance(b, a, 1000.1); }, 30, false},
      {"B's plane behind A",
       [&](auto* a, auto* b) {
         AddClick(a, 1, -1.0 * dA, -1.0 * dA, AzimuthOf(*a, dA), 0);
         Look(b, 1, point);
       },
       30, false},
      {"A's plane behind B",
       [&](auto* a, auto* b) {
         Look(a, 1, point);
         AddClick(b, 1, -1.0 * dB, -1.0 * dB, AzimuthOf(*b, dB), 0);
       },
       30, false},
      // Before, NaN passed every test. Stations in one place: planes that do not meet.
      {"one station twice",
       [&](auto* a, auto* b) {
         *b = *a;
         b->clickCount = 0;
         Look(a, 1, point);
         Look(b, 1, point);
       },
       0, false},
      {"A's line in B's plane",
       [&](auto* a, auto* b) {
         Look(b, 1, point);
         const Vec inPlaneB = Cross(Cross(dB, Up(*b)), Up(*a));
         AddClick(a, 1, inPlaneB, inPlaneB, AzimuthOf(*a, inPlaneB), 0);
       },
       0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    results.Clear();
    // Cases move the stations: each starts from the two of the fixture again.
    A = StationA();
    B = StationB();
    AP.Qc = c.minQc;
    c.setUp(&A, &B);
    Triangulate();
    EXPECT_EQ(results.rowCount, c.row ? 1 : 0);
    if (std::string(c.what) == "A marked 9.9 degrees off" && results.rowCount == 1) {
      EXPECT_NEAR(Cell(0, kResultH1), pointHeightM / 1000, 1e-4);
    }
  }
}

// Before, B's plane met behind A was taken as a point in front of A; placed like this, that
// made-up point passed every other test and became a result.
TEST_F(TriangulationTest, PlaneMetBehindTheStationGivesNoResult) {
  auto sightAt = [](const ObservationRecord& r, double azDeg, double elDeg) {
    double dirLng, dirLat;
    Vec v;
    HorizonToEarthFixedDir(r.lng, r.lat, azDeg, elDeg, &dirLng, &dirLat);
    DirectionVector(dirLng, dirLat, &v.x, &v.y, &v.z);
    return v;
  };
  // B looks north; A, 100 km north of B and 3 km east, looks north-east.
  B = MakeStation(136.0f, 34.0f, 50);
  A = MakeStation(136.0325f, 34.9009f, 50);
  const Vec sightA = sightAt(A, 45, 40), sightB = sightAt(B, 0, 30);
  AddClick(&A, 1, sightA, sightA, 45, 0);
  AddClick(&B, 1, sightB, sightB, 0, 0);
  double lng, lat, height, along;
  IntersectSightWithPlane(A, 0, B, 0, &lng, &lat, &height, &along);
  ASSERT_LT(along, 0);
  Triangulate();
  EXPECT_EQ(results.rowCount, 0);
}

// Marked azimuths are in [0, 360) and the computed ones in [-180, 180]: the check folds across
// north.
TEST_F(TriangulationTest, AzimuthCheckFoldsAcrossNorth) {
  // A point 3 degrees east of north of A.
  const Vec north = Ecef(A.lng + 0.06, A.lat + 1.0, 90000);
  const Vec d = north - StationOf(A);
  ASSERT_NEAR(AzimuthOf(A, d), 3, 1);
  struct Case {
    double offDeg;  // west of the azimuth to the point, marked across north
    bool row;
  };
  const Case cases[] = {{8, true}, {10.5, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offDeg);
    results.Clear();
    A.clickCount = B.clickCount = 0;
    const double marked = AzimuthOf(A, d) - c.offDeg + 360;
    ASSERT_GT(marked, 350);
    AddClick(&A, 1, d, d, marked, 0);
    Look(&B, 1, north);
    AP.Qc = 10;
    Triangulate();
    EXPECT_EQ(results.rowCount, c.row ? 1 : 0);
  }
}

// Error estimates are the change of the result when both stations' clicks move: with the
// perturbed lines aimed at a second point, they are exactly the distance between the two.
TEST_F(TriangulationTest, ErrorEstimatesAreTheChangeToThePerturbedPoint) {
  const double dLng = 0.004, dLat = -0.003, dHeightM = 1500;
  const Vec moved = Ecef(pointLng + dLng, pointLat + dLat, pointHeightM + dHeightM);
  struct Case {
    float ddegA, ddegB;
    bool estimates;
  };
  const Case cases[] = {{0.05f, 0, true}, {0, 0.05f, true}, {1e-9f, 1e-9f, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ddegA);
    results.Clear();
    A.clickCount = B.clickCount = 0;
    const Vec dA = point - StationOf(A), dB = point - StationOf(B);
    AddClick(&A, 1, dA, moved - StationOf(A), AzimuthOf(A, dA), c.ddegA);
    AddClick(&B, 1, dB, moved - StationOf(B), AzimuthOf(B, dB), c.ddegB);
    Triangulate();
    ASSERT_EQ(results.rowCount, 1);
    const double k = c.estimates ? 1 : 0;
    EXPECT_NEAR(Cell(0, kResultDlng), k * std::fabs(dLng), 2e-6);
    EXPECT_NEAR(Cell(0, kResultDlat), k * std::fabs(dLat), 2e-6);
    EXPECT_NEAR(Cell(0, kResultDh1), k * dHeightM / 1000, 1e-4);
    EXPECT_NEAR(Cell(0, kResultDh2), k * dHeightM / 1000, 1e-4);
    const double movedLd1 = Norm(moved - StationOf(A)) / 1000, movedLd2 = Norm(moved - StationOf(B)) / 1000;
    EXPECT_NEAR(Cell(0, kResultDl1), k * std::fabs(movedLd1 - Norm(dA) / 1000), 1e-4);
    EXPECT_NEAR(Cell(0, kResultDl2), k * std::fabs(movedLd2 - Norm(dB) / 1000), 1e-4);
  }
}

// dh1 and dl1 come from A's line, dh2 and dl2 from B's: the perturbed lines aim at two points
// of the line where both perturbed planes meet (the vertical through the point), so each
// line's perturbed cut is its own point. (Both lie on that vertical, so A's line and B's would
// give the same position errors.)
TEST_F(TriangulationTest, EachLineGivesItsOwnHeightAndDistanceEstimates) {
  const Vec dA = point - StationOf(A), dB = point - StationOf(B);
  Vec along = Unit(Cross(Unit(Cross(dA, Up(A))), Unit(Cross(dB, Up(B)))));
  if (Dot(along, Up(A)) < 0) along = -1.0 * along;
  const Vec movedA = point + 2000.0 * along, movedB = point + (-1000.0) * along;
  AddClick(&A, 1, dA, movedA - StationOf(A), AzimuthOf(A, dA), 0.05f);
  AddClick(&B, 1, dB, movedB - StationOf(B), AzimuthOf(B, dB), 0.05f);
  Triangulate();
  ASSERT_EQ(results.rowCount, 1);

  double lngA, latA, hA, lngB, latB, hB;
  EcefToGeodetic(movedA.x, movedA.y, movedA.z, &lngA, &latA, &hA);
  EcefToGeodetic(movedB.x, movedB.y, movedB.z, &lngB, &latB, &hB);
  EXPECT_NEAR(Cell(0, kResultDlng), std::fabs(lngA - pointLng), 1e-7);
  EXPECT_NEAR(Cell(0, kResultDlat), std::fabs(latA - pointLat), 1e-7);
  EXPECT_NEAR(Cell(0, kResultDh1), std::fabs(hA - pointHeightM) / 1000, 1e-5);
  EXPECT_NEAR(Cell(0, kResultDh2), std::fabs(hB - pointHeightM) / 1000, 1e-5);
  EXPECT_NEAR(Cell(0, kResultDl1),
              std::fabs(Norm(movedA - StationOf(A)) - Norm(dA)) / 1000, 1e-5);
  EXPECT_NEAR(Cell(0, kResultDl2),
              std::fabs(Norm(movedB - StationOf(B)) - Norm(dB)) / 1000, 1e-5);
}

// Only the unperturbed cuts refuse a plane met behind the station; the perturbed ones take the
// point at the same distance in front, along the perturbed line.
TEST_F(TriangulationTest, PerturbedPlaneBehindTheStationIsTakenInFront) {
  const Vec dA = point - StationOf(A);
  const Vec moved = Ecef(pointLng + 0.004, pointLat - 0.003, pointHeightM + 1500);
  const Vec movedA = moved - StationOf(A);
  AddClick(&A, 1, dA, -1.0 * movedA, AzimuthOf(A, dA), 0.05f);
  AddClick(&B, 1, point - StationOf(B), moved - StationOf(B), AzimuthOf(B, point - StationOf(B)),
           0.05f);
  Triangulate();
  ASSERT_EQ(results.rowCount, 1);
  // B's perturbed plane holds `moved`, which lies behind A on the reversed line.
  const Vec taken = StationOf(A) + (-1.0) * movedA;
  double lng, lat, h;
  EcefToGeodetic(taken.x, taken.y, taken.z, &lng, &lat, &h);
  EXPECT_NEAR(Cell(0, kResultDlng), std::fabs(lng - pointLng), 1e-6);
  EXPECT_NEAR(Cell(0, kResultDlat), std::fabs(lat - pointLat), 1e-6);
  EXPECT_NEAR(Cell(0, kResultDh1), std::fabs(h - pointHeightM) / 1000, 1e-4);
  EXPECT_NEAR(Cell(0, kResultDl1), std::fabs(Norm(movedA) - Norm(dA)) / 1000, 1e-5);
}

// The result CSV: the written columns by name and in order, each with its value.
TEST_F(TriangulationTest, ResultCsvWritesTheNumberedColumnsInOrder) {
  Look(&A, 7, point, 0.05f);
  Look(&B, 7, point, 0.05f);
  Triangulate();
  ASSERT_EQ(results.rowCount, 1);
  nv4test::TempDir dir;
  const std::string path = dir.File("NVResult.csv");
  ASSERT_TRUE(results.WriteCsv(path.c_str(), 0, 0, 0, 0));
  const std::string text = nv4test::ReadFileBytes(path);

  const std::string header =
      "_Version,_#,_localtime,_ID1,_ID2,_pos,_lng,_lat,_H1,_H2,_dH,_Qc,_ld1,_ld2,_dlng,_dlat,_dh1,"
      "_dh2,_dl1,_dl2\r\n";
  ASSERT_EQ(text.substr(0, header.size()), header);
  const std::string prefix = "210,5,_20210320_210000,_S1,_S2,7";
  const std::string row = text.substr(header.size());
  ASSERT_EQ(row.substr(0, prefix.size()), prefix);
  ASSERT_EQ(row.substr(row.size() - 2), "\r\n");
  // The single-precision cells follow, each printed with six decimals.
  const int floatColumns[] = {kResultLng,  kResultLat,  kResultH1,  kResultH2,   kResultDH,
                              kResultQc,   kResultLd1,  kResultLd2, kResultDlng, kResultDlat,
                              kResultDh1,  kResultDh2,  kResultDl1, kResultDl2};
  std::string expected = prefix;
  for (int column : floatColumns) {
    char field[64];
    std::snprintf(field, sizeof field, ",%f", static_cast<double>(Cell(0, column)));
    expected += field;
  }
  EXPECT_EQ(row, expected + "\r\n");
}

TEST_F(TriangulationTest, SineJustAboveOneGivesNinetyDegrees) {
  // Unit normals as rounding leaves them: their cross product is 1 + 2^-52 long.
  const double h = 0.7071067811865476;
  Look(&A, 1, point);
  Look(&B, 1, point);
  A.clicks.planeNormal[0][0] = h, A.clicks.planeNormal[1][0] = h, A.clicks.planeNormal[2][0] = 0;
  B.clicks.planeNormal[0][0] = -h, B.clicks.planeNormal[1][0] = h, B.clicks.planeNormal[2][0] = 0;
  double lng, lat, height;
  EXPECT_NEAR(IntersectSightWithPlane(A, 0, B, 0, &lng, &lat, &height), 90.0, 1e-9);
}

TEST_F(TriangulationTest, IntersectionsReportTheSignedDistanceAlongTheLine) {
  const Vec dA = point - StationOf(A);
  AddClick(&A, 1, -1.0 * dA, -1.0 * dA, AzimuthOf(A, dA), 0.05f);
  Look(&B, 1, point, 0.05f);
  double lng, lat, height, along;
  IntersectSightWithPlane(A, 0, B, 0, &lng, &lat, &height, &along);
  EXPECT_NEAR(along, -Norm(dA), 1e-3);
  // The perturbed twin still takes the distance in front of the station, along its line.
  IntersectSightWithPlanePerturbed(A, 0, B, 0, &lng, &lat, &height);
  const Vec mirrored = StationOf(A) - dA;
  double mLng, mLat, mHeight;
  EcefToGeodetic(mirrored.x, mirrored.y, mirrored.z, &mLng, &mLat, &mHeight);
  EXPECT_NEAR(lng, mLng, 1e-9);
  EXPECT_NEAR(lat, mLat, 1e-9);
  EXPECT_NEAR(height, mHeight, 1e-3);
}

}  // namespace
