#include "analysis/click_sight.h"

#include <algorithm>

#include "geo/earth.h"
#include "geo/horizontal.h"

namespace {

// Unit vector of the Earth-fixed direction seen at elevation elDeg in the azimuth (counted from
// the south) from the station.
void SightVector(double lng, SinCos lat, SinCos azimuthFromSouth, double elDeg, double v[3]) {
  double dirLng = 0, dirLat = 0;
  HorizonToEarthFixedDirOf(lng, lat, azimuthFromSouth, elDeg, &dirLng, &dirLat);
  DirectionVector(dirLng, dirLat, &v[0], &v[1], &v[2]);
}

// The sight at (azDeg, elDeg) and the normal of its vertical plane, whose lower direction lies in
// the same azimuth.
void SightAndNormal(double lng, SinCos lat, double azDeg, double elDeg, double sight[3],
                    double normal[3]) {
  const SinCos azimuth = SinCosOf(HorizonAzimuthFromSouth(azDeg));
  double lower[3];
  SightVector(lng, lat, azimuth, elDeg, sight);
  SightVector(lng, lat, azimuth, elDeg - 45.0, lower);
  UnitCross(sight[0], sight[1], sight[2], lower[0], lower[1], lower[2], &normal[0], &normal[1],
            &normal[2]);
}

void Store(double (&slots)[3][kMaxClicksPerRecord], int k, const double v[3]) {
  slots[0][k] = v[0];
  slots[1][k] = v[1];
  slots[2][k] = v[2];
}

SightStation StationWith(float lng, float lat, double ttMjd, double lstDeg,
                         const double precession[9]) {
  SightStation station{lng, lat, ttMjd, lstDeg, {}, 0, 0};
  std::copy_n(precession, 9, station.precession);
  const SinCos phi = SinCosOf(station.lat * kDegToRad);
  station.sinLat = phi.sin;
  station.cosLat = phi.cos;
  return station;
}

}  // namespace

SightStation MakeSightStation(float lng, float lat, double ttMjd, double lstDeg) {
  double precession[9];
  BuildPrecessionMatrix(ttMjd, precession);
  return StationWith(lng, lat, ttMjd, lstDeg, precession);
}

void ComputeSight(const SightStation& station, double ra, double dec, double ddeg,
                  ClickSight* out) {
  const SinCos lat{station.sinLat, station.cosLat};
  double az = 0, el = 0;
  EquatorialToHorizontalWith(station.precession, station.lstDeg, lat, ra, dec, &az, &el);
  SightAndNormal(station.lng, lat, az, el, out->sight, out->planeNormal);
  SightAndNormal(station.lng, lat, az + ddeg, el + ddeg, out->sightPerturbed,
                 out->planeNormalPerturbed);
}

void StoreClickSight(const ClickSight& sight, Click* clicks, int k) {
  Store(clicks->sight, k, sight.sight);
  Store(clicks->planeNormal, k, sight.planeNormal);
  Store(clicks->sightPerturbed, k, sight.sightPerturbed);
  Store(clicks->planeNormalPerturbed, k, sight.planeNormalPerturbed);
}

void ComputeClickSight(ObservationRecord* record, int k) {
  const SightStation station = StationWith(record->lng, record->lat, record->ttMjd,
                                           record->lstDeg, PrecessionMatrixOf(record->ttMjd));
  Click& c = record->clicks;
  ClickSight sight;
  ComputeSight(station, c.ra[k], c.dec[k], c.ddeg[k], &sight);
  StoreClickSight(sight, &c, k);
}
