#include "analysis/triangulation.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

#include "analysis/result_tables.h"
#include "geo/angles.h"
#include "geo/earth.h"
#include "params/app_params.h"
#include "ulib/table_cell.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Vec3 {
  double x, y, z;
};

Vec3 Slot(const double (&array)[3][kMaxClicksPerRecord], int32_t k) {
  return Vec3{array[0][k], array[1][k], array[2][k]};
}

double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Convergence angle of two vertical planes from their unit normals, degrees in [0, 90].
double ConvergenceDeg(const Vec3& normalP, const Vec3& normalQ) {
  double nx, ny, nz;
  // Rounding can carry the sine of two nearly perpendicular planes just past 1, where asin
  // has no value.
  const double s = std::min(
      UnitCross(normalP.x, normalP.y, normalP.z, normalQ.x, normalQ.y, normalQ.z, &nx, &ny, &nz),
      1.0);
  return std::asin(s) * kRadToDeg;
}

// Where P's line of sight meets the plane through Q's station with normal normalQ: the signed
// distance along the line (m) and the Earth-centred point. A distance that is not finite (a
// line parallel to the plane) gives a point that is not finite.
struct Cut {
  double alongM;
  Vec3 point;
};

Cut CutSightWithPlane(const ObservationRecord& P, const Vec3& sight, const ObservationRecord& Q,
                      const Vec3& normalQ, bool mirrorBehind) {
  const Vec3 baseline{Q.ecef[0] - P.ecef[0], Q.ecef[1] - P.ecef[1], Q.ecef[2] - P.ecef[2]};
  double t = Dot(baseline, normalQ) / Dot(sight, normalQ);
  if (mirrorBehind) t = std::fabs(t);
  if (!std::isfinite(t)) return Cut{t, Vec3{kNaN, kNaN, kNaN}};
  return Cut{t, Vec3{P.ecef[0] + t * sight.x, P.ecef[1] + t * sight.y, P.ecef[2] + t * sight.z}};
}

struct GeodeticPoint {
  double lon, lat, h;
};

bool IsFinite(const Vec3& x) {
  return std::isfinite(x.x) && std::isfinite(x.y) && std::isfinite(x.z);
}

GeodeticPoint ToGeodetic(const Vec3& x) {
  GeodeticPoint g{kNaN, kNaN, kNaN};
  if (IsFinite(x)) EcefToGeodetic(x.x, x.y, x.z, &g.lon, &g.lat, &g.h);
  return g;
}

// ToGeodetic of two points, with the same results; the two conversions run side by side, in
// about two thirds of the time of one after the other.
void ToGeodetic2(const Vec3& a, const Vec3& b, GeodeticPoint* ga, GeodeticPoint* gb) {
  if (!IsFinite(a) || !IsFinite(b)) {
    *ga = ToGeodetic(a);
    *gb = ToGeodetic(b);
    return;
  }
  const double ecef[2][3] = {{a.x, a.y, a.z}, {b.x, b.y, b.z}};
  double lon[2], lat[2], h[2];
  EcefToGeodetic2(ecef, lon, lat, h);
  *ga = GeodeticPoint{lon[0], lat[0], h[0]};
  *gb = GeodeticPoint{lon[1], lat[1], h[1]};
}

// The straight distance in km between two Earth-centred points (m).
double ChordKm(const Vec3& a, const Vec3& b) {
  const double dx = (b.x - a.x) / 1000;
  const double dy = (b.y - a.y) / 1000;
  const double dz = (b.z - a.z) / 1000;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

bool AllFinite(std::initializer_list<double> values) {
  for (double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

// The station height handed to the geometry: the sum is formed in single precision, as the
// reader formed it for the station's ECEF position.
double StationHeightM(const ObservationRecord& r) {
  const float h = r.alt + r.gioidh;
  return h;
}

// The azimuth the station marked against the azimuth from the station to (lonDeg, latDeg).
bool AzimuthAgrees(const ObservationRecord& station, float markedAzDeg, double lonDeg,
                   double latDeg) {
  double azDeg, distDeg;
  AzimuthAndDistance(station.lat, lonDeg - station.lng, latDeg - station.lat, &azDeg, &distDeg);
  return AngleDiff180(markedAzDeg, static_cast<float>(azDeg)) <= kMaxAzimuthMismatchDeg;
}

}  // namespace

double IntersectSightWithPlane(const ObservationRecord& P, int32_t i, const ObservationRecord& Q,
                               int32_t k, double* lonDeg, double* latDeg, double* heightM,
                               double* alongM) {
  const Vec3 normalQ = Slot(Q.clicks.planeNormal, k);
  const Cut cut = CutSightWithPlane(P, Slot(P.clicks.sight, i), Q, normalQ, false);
  const GeodeticPoint g = ToGeodetic(cut.point);
  *lonDeg = g.lon, *latDeg = g.lat, *heightM = g.h;
  if (alongM) *alongM = cut.alongM;
  return ConvergenceDeg(Slot(P.clicks.planeNormal, i), normalQ);
}

double IntersectSightWithPlanePerturbed(const ObservationRecord& P, int32_t i,
                                        const ObservationRecord& Q, int32_t k, double* lonDeg,
                                        double* latDeg, double* heightM) {
  const Vec3 normalQ = Slot(Q.clicks.planeNormalPerturbed, k);
  const Cut cut = CutSightWithPlane(P, Slot(P.clicks.sightPerturbed, i), Q, normalQ, true);
  const GeodeticPoint g = ToGeodetic(cut.point);
  *lonDeg = g.lon, *latDeg = g.lat, *heightM = g.h;
  return ConvergenceDeg(Slot(P.clicks.planeNormalPerturbed, i), normalQ);
}

void TriangulatePoints(const ObservationRecord& A, const ObservationRecord& B, double minQcDeg,
                       std::vector<TriangulatedPoint>* points) {
  // The stations as the distances see them: from their geodetic values, once for the pair.
  Vec3 stationA, stationB;
  GeodeticToEcef(A.lng, A.lat, StationHeightM(A), &stationA.x, &stationA.y, &stationA.z);
  GeodeticToEcef(B.lng, B.lat, StationHeightM(B), &stationB.x, &stationB.y, &stationB.z);
  const Click& ca = A.clicks;
  const Click& cb = B.clicks;

  for (int32_t i = 0; i < A.clickCount; ++i) {
    for (int32_t k = 0; k < B.clickCount; ++k) {
      if (cb.pos[k] != ca.pos[i]) continue;

      // A's line of sight cut by B's vertical plane, and B's by A's.
      const double qc = ConvergenceDeg(Slot(ca.planeNormal, i), Slot(cb.planeNormal, k));
      if (!(qc >= minQcDeg)) continue;
      const Cut cutA = CutSightWithPlane(A, Slot(ca.sight, i), B, Slot(cb.planeNormal, k), false);
      const Cut cutB = CutSightWithPlane(B, Slot(cb.sight, k), A, Slot(ca.planeNormal, i), false);
      // A plane met behind a station is no sighting of the point.
      if (!(cutA.alongM >= 0) || !(cutB.alongM >= 0)) continue;

      // The distances are taken between the Earth-centred points themselves: the geodetic
      // round trip of the point changes them by less than a micrometre.
      const double ld1 = ChordKm(stationA, cutA.point);
      const double ld2 = ChordKm(stationB, cutB.point);
      if (!(ld1 <= kMaxStationDistanceKm) || !(ld2 <= kMaxStationDistanceKm)) continue;
      // B's point is needed only once the azimuths agree, but converting it beside A's adds
      // well under half of what converting it on its own afterwards would take.
      GeodeticPoint pA, pB;
      ToGeodetic2(cutA.point, cutB.point, &pA, &pB);
      if (!AzimuthAgrees(A, ca.az[i], pA.lon, pA.lat)) continue;
      // B's check also looks at the point on A's line: it is the one the result reports.
      if (!AzimuthAgrees(B, cb.az[k], pA.lon, pA.lat)) continue;

      double dlng = 0, dlat = 0, dh1 = 0, dh2 = 0, dl1 = 0, dl2 = 0;
      if (ca.ddeg[i] > kMinErrorDdeg || cb.ddeg[k] > kMinErrorDdeg) {
        const Cut movedA = CutSightWithPlane(A, Slot(ca.sightPerturbed, i), B,
                                             Slot(cb.planeNormalPerturbed, k), true);
        const Cut movedB = CutSightWithPlane(B, Slot(cb.sightPerturbed, k), A,
                                             Slot(ca.planeNormalPerturbed, i), true);
        GeodeticPoint qA, qB;
        ToGeodetic2(movedA.point, movedB.point, &qA, &qB);
        dlng = std::fabs(pA.lon - qA.lon);
        dlat = std::fabs(pA.lat - qA.lat);
        dh1 = std::fabs(pA.h - qA.h) / 1000;
        dh2 = std::fabs(pB.h - qB.h) / 1000;
        dl1 = std::fabs(ld1 - ChordKm(stationA, movedA.point));
        dl2 = std::fabs(ld2 - ChordKm(stationB, movedB.point));
      }
      if (!AllFinite({pA.lon, pA.lat, pA.h, pB.h, qc, ld1, ld2, dlng, dlat, dh1, dh2, dl1, dl2}))
        continue;

      const double h1 = pA.h / 1000;
      const double h2 = pB.h / 1000;
      TriangulatedPoint point;
      point.pos = ca.pos[i];
      point.c1 = i;
      point.c2 = k;
      point.qc = static_cast<float>(qc);
      point.lng = static_cast<float>(pA.lon);
      point.lat = static_cast<float>(pA.lat);
      point.h1 = static_cast<float>(h1);
      point.h2 = static_cast<float>(h2);
      point.dH = static_cast<float>(std::fabs(h1 - h2));
      point.ld1 = static_cast<float>(ld1);
      point.ld2 = static_cast<float>(ld2);
      point.dlng = static_cast<float>(dlng);
      point.dlat = static_cast<float>(dlat);
      point.dh1 = static_cast<float>(dh1);
      point.dh2 = static_cast<float>(dh2);
      point.dl1 = static_cast<float>(dl1);
      point.dl2 = static_cast<float>(dl2);
      points->push_back(point);
    }
  }
}

void AppendResultRows(CUTable* results, const CUTable& pairs, int32_t pairRow,
                      const TriangulatedPoint* points, std::size_t count) {
  if (count == 0) return;
  // What every row of the pair copies, looked up once.
  const char* localtime = pairs.GetStringOrEmpty(pairRow, kPairLocaltime);
  const char* id1 = pairs.GetStringOrEmpty(pairRow, kPairId1);
  const char* id2 = pairs.GetStringOrEmpty(pairRow, kPairId2);
  const int32_t number = ReadCellInt(pairs.LiveCell(pairRow, kPairNumber));
  for (std::size_t n = 0; n < count; ++n) {
    const TriangulatedPoint& point = points[n];
    const int32_t row = results->AddRow();
    results->SetString(row, kResultLocaltime, localtime);
    results->SetString(row, kResultId1, id1);
    results->SetString(row, kResultId2, id2);
    // The cells of one row lie side by side: one block lookup for all of them.
    unsigned char* cells = static_cast<unsigned char*>(results->CellForWrite(row, 0));
    auto cell = [cells](int32_t column) { return cells + column * kTableCellBytes; };
    WriteCellFloat(cell(kResultQc), point.qc);
    WriteCellUint(cell(kResultMark), 1);
    WriteCellInt(cell(kResultRline), pairRow);
    WriteCellInt(cell(kResultNumber), number);
    WriteCellInt(cell(kResultPos), point.pos);
    WriteCellInt(cell(kResultC1), point.c1);
    WriteCellInt(cell(kResultC2), point.c2);
    WriteCellFloat(cell(kResultLng), point.lng);
    WriteCellFloat(cell(kResultLat), point.lat);
    WriteCellFloat(cell(kResultH1), point.h1);
    WriteCellFloat(cell(kResultH2), point.h2);
    WriteCellFloat(cell(kResultDH), point.dH);
    WriteCellFloat(cell(kResultLd1), point.ld1);
    WriteCellFloat(cell(kResultLd2), point.ld2);
    WriteCellFloat(cell(kResultDlng), point.dlng);
    WriteCellFloat(cell(kResultDlat), point.dlat);
    WriteCellFloat(cell(kResultDh1), point.dh1);
    WriteCellFloat(cell(kResultDh2), point.dh2);
    WriteCellFloat(cell(kResultDl1), point.dl1);
    WriteCellFloat(cell(kResultDl2), point.dl2);
  }
}

void TriangulatePair(CUTable* results, const CUTable& pairs, int32_t pairRow,
                     const ObservationRecord& A, const ObservationRecord& B) {
  std::vector<TriangulatedPoint> points;
  TriangulatePoints(A, B, AP.Qc, &points);
  AppendResultRows(results, pairs, pairRow, points.data(), points.size());
}
