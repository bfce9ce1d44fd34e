#include "analysis/click_sight.h"

#include "geo/earth.h"
#include "geo/horizontal.h"

namespace {

// Unit vector of the Earth-fixed direction seen at (azDeg, elDeg) from the station.
void SightVector(double lng, double lat, double azDeg, double elDeg, double v[3]) {
  double dirLng = 0, dirLat = 0;
  HorizonToEarthFixedDir(lng, lat, azDeg, elDeg, &dirLng, &dirLat);
  DirectionVector(dirLng, dirLat, &v[0], &v[1], &v[2]);
}

void Store(double (&slots)[3][kMaxClicksPerRecord], int k, const double v[3]) {
  slots[0][k] = v[0];
  slots[1][k] = v[1];
  slots[2][k] = v[2];
}

// The sight at (azDeg, elDeg) and the normal of its vertical plane, into slot k.
void SightAndNormal(double lng, double lat, double azDeg, double elDeg,
                    double (&sight)[3][kMaxClicksPerRecord],
                    double (&normal)[3][kMaxClicksPerRecord], int k) {
  double s[3], lower[3], n[3];
  SightVector(lng, lat, azDeg, elDeg, s);
  SightVector(lng, lat, azDeg, elDeg - 45.0, lower);
  UnitCross(s[0], s[1], s[2], lower[0], lower[1], lower[2], &n[0], &n[1], &n[2]);
  Store(sight, k, s);
  Store(normal, k, n);
}

}  // namespace

void ComputeClickSight(ObservationRecord* record, int k) {
  Click& c = record->clicks;
  const double lng = record->lng;
  const double lat = record->lat;
  double az = 0, el = 0;
  EquatorialToHorizontal(record->ttMjd, record->lstDeg, lat, c.ra[k], c.dec[k], &az, &el);
  SightAndNormal(lng, lat, az, el, c.sight, c.planeNormal, k);
  const double ddeg = c.ddeg[k];
  SightAndNormal(lng, lat, az + ddeg, el + ddeg, c.sightPerturbed, c.planeNormalPerturbed, k);
}
