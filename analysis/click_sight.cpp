#include "analysis/click_sight.h"

#include <algorithm>

#include "geo/earth.h"
#include "geo/horizontal.h"

namespace {

// Unit vector of the Earth-fixed direction seen at (azDeg, elDeg) from the station.
void SightVector(double lng, double lat, double azDeg, double elDeg, double v[3]) {
  double dirLng = 0, dirLat = 0;
  HorizonToEarthFixedDir(lng, lat, azDeg, elDeg, &dirLng, &dirLat);
  DirectionVector(dirLng, dirLat, &v[0], &v[1], &v[2]);
}

// The sight at (azDeg, elDeg) and the normal of its vertical plane.
void SightAndNormal(double lng, double lat, double azDeg, double elDeg, double sight[3],
                    double normal[3]) {
  double lower[3];
  SightVector(lng, lat, azDeg, elDeg, sight);
  SightVector(lng, lat, azDeg, elDeg - 45.0, lower);
  UnitCross(sight[0], sight[1], sight[2], lower[0], lower[1], lower[2], &normal[0], &normal[1],
            &normal[2]);
}

void Store(double (&slots)[3][kMaxClicksPerRecord], int k, const double v[3]) {
  slots[0][k] = v[0];
  slots[1][k] = v[1];
  slots[2][k] = v[2];
}

}  // namespace

SightStation MakeSightStation(float lng, float lat, double ttMjd, double lstDeg) {
  SightStation station{lng, lat, ttMjd, lstDeg, {}};
  BuildPrecessionMatrix(ttMjd, station.precession);
  return station;
}

void ComputeSight(const SightStation& station, double ra, double dec, double ddeg,
                  ClickSight* out) {
  double az = 0, el = 0;
  EquatorialToHorizontalWith(station.precession, station.lstDeg, station.lat, ra, dec, &az, &el);
  SightAndNormal(station.lng, station.lat, az, el, out->sight, out->planeNormal);
  SightAndNormal(station.lng, station.lat, az + ddeg, el + ddeg, out->sightPerturbed,
                 out->planeNormalPerturbed);
}

void StoreClickSight(const ClickSight& sight, Click* clicks, int k) {
  Store(clicks->sight, k, sight.sight);
  Store(clicks->planeNormal, k, sight.planeNormal);
  Store(clicks->sightPerturbed, k, sight.sightPerturbed);
  Store(clicks->planeNormalPerturbed, k, sight.planeNormalPerturbed);
}

void ComputeClickSight(ObservationRecord* record, int k) {
  SightStation station{record->lng, record->lat, record->ttMjd, record->lstDeg, {}};
  std::copy_n(PrecessionMatrixOf(record->ttMjd), 9, station.precession);
  Click& c = record->clicks;
  ClickSight sight;
  ComputeSight(station, c.ra[k], c.dec[k], c.ddeg[k], &sight);
  StoreClickSight(sight, &c, k);
}
