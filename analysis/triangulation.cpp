#include "analysis/triangulation.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/result_tables.h"
#include "app/params/app_params.h"
#include "geo/angles.h"
#include "geo/earth.h"
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

// The shared core of both intersections, on the vectors given.
double Intersect(const ObservationRecord& P, const Vec3& sight, const Vec3& normalP,
                 const ObservationRecord& Q, const Vec3& normalQ, bool mirrorBehind,
                 double* lonDeg, double* latDeg, double* heightM, double* alongM) {
  double nx, ny, nz;
  // Rounding can carry the sine of two nearly perpendicular planes just past 1, where asin
  // has no value.
  const double s = std::min(
      UnitCross(normalP.x, normalP.y, normalP.z, normalQ.x, normalQ.y, normalQ.z, &nx, &ny, &nz),
      1.0);
  const double qcDeg = std::asin(s) * kRadToDeg;

  const Vec3 baseline{Q.ecef[0] - P.ecef[0], Q.ecef[1] - P.ecef[1], Q.ecef[2] - P.ecef[2]};
  double t = Dot(baseline, normalQ) / Dot(sight, normalQ);
  if (mirrorBehind) t = std::fabs(t);
  if (alongM) *alongM = t;
  if (!std::isfinite(t)) {
    *lonDeg = *latDeg = *heightM = kNaN;
    return qcDeg;
  }
  EcefToGeodetic(P.ecef[0] + t * sight.x, P.ecef[1] + t * sight.y, P.ecef[2] + t * sight.z,
                 lonDeg, latDeg, heightM);
  return qcDeg;
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
  return Intersect(P, Slot(P.clicks.sight, i), Slot(P.clicks.planeNormal, i), Q,
                   Slot(Q.clicks.planeNormal, k), false, lonDeg, latDeg, heightM, alongM);
}

double IntersectSightWithPlanePerturbed(const ObservationRecord& P, int32_t i,
                                        const ObservationRecord& Q, int32_t k, double* lonDeg,
                                        double* latDeg, double* heightM) {
  return Intersect(P, Slot(P.clicks.sightPerturbed, i), Slot(P.clicks.planeNormalPerturbed, i),
                   Q, Slot(Q.clicks.planeNormalPerturbed, k), true, lonDeg, latDeg, heightM,
                   nullptr);
}

void TriangulatePair(CUTable* results, const CUTable& pairs, int32_t pairRow,
                     const ObservationRecord& A, const ObservationRecord& B) {
  const double minQcDeg = AP.Qc;
  const double heightA = StationHeightM(A);
  const double heightB = StationHeightM(B);
  const Click& ca = A.clicks;
  const Click& cb = B.clicks;

  for (int32_t i = 0; i < A.clickCount; ++i) {
    for (int32_t k = 0; k < B.clickCount; ++k) {
      if (cb.pos[k] != ca.pos[i]) continue;

      double lng, lat, hA, alongA;
      const double qc = IntersectSightWithPlane(A, i, B, k, &lng, &lat, &hA, &alongA);
      if (!(qc >= minQcDeg)) continue;
      double lonB, latB, hB, alongB;
      IntersectSightWithPlane(B, k, A, i, &lonB, &latB, &hB, &alongB);
      // A plane met behind a station is no sighting of the point.
      if (!(alongA >= 0) || !(alongB >= 0)) continue;

      const double ld1 = GeodeticDistanceKm(A.lng, A.lat, heightA, lng, lat, hA);
      const double ld2 = GeodeticDistanceKm(B.lng, B.lat, heightB, lonB, latB, hB);
      if (!(ld1 <= kMaxStationDistanceKm) || !(ld2 <= kMaxStationDistanceKm)) continue;
      if (!AzimuthAgrees(A, ca.az[i], lng, lat)) continue;
      // B's check also looks at the point on A's line: it is the one the result reports.
      if (!AzimuthAgrees(B, cb.az[k], lng, lat)) continue;

      double dlng = 0, dlat = 0, dh1 = 0, dh2 = 0, dl1 = 0, dl2 = 0;
      if (ca.ddeg[i] > kMinErrorDdeg || cb.ddeg[k] > kMinErrorDdeg) {
        double lngP, latP, hAP, lonBP, latBP, hBP;
        IntersectSightWithPlanePerturbed(A, i, B, k, &lngP, &latP, &hAP);
        IntersectSightWithPlanePerturbed(B, k, A, i, &lonBP, &latBP, &hBP);
        dlng = std::fabs(lng - lngP);
        dlat = std::fabs(lat - latP);
        dh1 = std::fabs(hA - hAP) / 1000;
        dh2 = std::fabs(hB - hBP) / 1000;
        dl1 = std::fabs(ld1 - GeodeticDistanceKm(A.lng, A.lat, heightA, lngP, latP, hAP));
        dl2 = std::fabs(ld2 - GeodeticDistanceKm(B.lng, B.lat, heightB, lonBP, latBP, hBP));
      }
      if (!AllFinite({lng, lat, hA, hB, qc, ld1, ld2, dlng, dlat, dh1, dh2, dl1, dl2})) continue;

      const double h1 = hA / 1000;
      const double h2 = hB / 1000;
      const int32_t row = results->AddRow();
      auto putFloat = [&](int32_t column, double value) {
        WriteCellFloat(results->CellForWrite(row, column), static_cast<float>(value));
      };
      auto putInt = [&](int32_t column, int32_t value) {
        WriteCellInt(results->CellForWrite(row, column), value);
      };
      putFloat(kResultQc, qc);
      WriteCellUint(results->CellForWrite(row, kResultMark), 1);
      putInt(kResultRline, pairRow);
      putInt(kResultNumber, ReadCellInt(pairs.LiveCell(pairRow, kPairNumber)));
      putInt(kResultPos, ca.pos[i]);
      results->SetString(row, kResultLocaltime, pairs.GetStringOrEmpty(pairRow, kPairLocaltime));
      results->SetString(row, kResultId1, pairs.GetStringOrEmpty(pairRow, kPairId1));
      results->SetString(row, kResultId2, pairs.GetStringOrEmpty(pairRow, kPairId2));
      putInt(kResultC1, i);
      putInt(kResultC2, k);
      putFloat(kResultLng, lng);
      putFloat(kResultLat, lat);
      putFloat(kResultH1, h1);
      putFloat(kResultH2, h2);
      putFloat(kResultDH, std::fabs(h1 - h2));
      putFloat(kResultLd1, ld1);
      putFloat(kResultLd2, ld2);
      putFloat(kResultDlng, dlng);
      putFloat(kResultDlat, dlat);
      putFloat(kResultDh1, dh1);
      putFloat(kResultDh2, dh2);
      putFloat(kResultDl1, dl1);
      putFloat(kResultDl2, dl2);
    }
  }
}
