#include "groundmap/map_projection.h"

#include <algorithm>
#include <cmath>

#include "geo/angles.h"

namespace groundmap {
namespace {

// Distance from the centre, in map pixels, at which points with no image are placed: far beyond
// any picture, small enough for every later sum to stay exact to a fraction of a pixel.
constexpr double kFarPointPixels = 1e6;

}  // namespace

MapProjection mapProjection;

double MapScale(int cx, double halfFovDeg) {
  return static_cast<double>(cx / 2) / std::tan(halfFovDeg * kDegToRad);
}

void SetMapGeometry(int cx, int cy, double centreLonDeg, double centreLatDeg, double halfFovDeg,
                    const std::uint8_t* raster) {
  mapProjection.CX = cx;
  mapProjection.CY = cy;
  // A header may give the centre thousands of degrees out (up to 9999.9999); the same place in
  // -180 .. 180 keeps the grid's walk over the meridians and the bounding box of a render near
  // the longitudes of what is drawn. Ordinary centres are kept exactly as given.
  mapProjection.centreLon =
      std::fabs(centreLonDeg) <= 180.0 ? centreLonDeg : std::remainder(centreLonDeg, 360.0);
  mapProjection.centreLat = centreLatDeg;
  mapProjection.halfFov = halfFovDeg;
  mapProjection.scale = MapScale(cx, halfFovDeg);
  mapProjection.raster = raster;
}

int GmapLonLatToPixel(double lon, double lat, double* x, double* y) {
  return MapLonLatToPixel(mapProjection, lon, lat, x, y);
}

int MapLonLatToPixel(const MapProjection& map, double lon, double lat, double* x, double* y) {
  // Colatitudes of the point and of the centre, and the longitude difference.
  const double theta = (90.0 - lat) * kDegToRad;
  const double theta0 = (90.0 - map.centreLat) * kDegToRad;
  const double dLon = (lon - map.centreLon) * kDegToRad;
  const double sinTheta = std::sin(theta), cosTheta = std::cos(theta);
  const double sinTheta0 = std::sin(theta0), cosTheta0 = std::cos(theta0);
  const double cosDLon = std::cos(dLon), sinDLon = std::sin(dLon);

  const double cosC = sinTheta * sinTheta0 * cosDLon + cosTheta * cosTheta0;
  const double sinC2 = 1.0 - cosC * cosC;
  const double sinC = sinC2 > 0.0 ? std::sqrt(sinC2) : 0.0;
  // East and north components of the direction from the centre, each times sin c; the north
  // one in this form needs no division by sin(theta0), so a map centred on a pole works too.
  const double east = sinDLon * sinTheta;
  const double north = sinTheta0 * cosTheta - cosTheta0 * sinTheta * cosDLon;

  const double rho = cosC > 0.0 ? sinC * map.scale / cosC : 0.0;
  if (!(cosC > 0.0) || !(rho <= kFarPointPixels)) {
    // No image on the projection plane (or one too far to be of use, up to infinity close to
    // 90 degrees): a far point in the point's direction, outside.
    const double length = std::hypot(east, north);
    const double ue = length > 0.0 ? east / length : 1.0;
    const double un = length > 0.0 ? north / length : 0.0;
    *x = map.CX * 0.5 + kFarPointPixels * ue;
    *y = map.CY * 0.5 - kFarPointPixels * un;
    return 0;
  }

  if (rho > 0.1) {
    *x = map.CX * 0.5 + rho * east / sinC;
    *y = map.CY * 0.5 - rho * north / sinC;
    return (*x >= 0.0 && *x < map.CX && *y >= 0.0 && *y < map.CY) ? 1 : 0;
  }
  *x = map.CX / 2;
  *y = map.CY / 2;
  return 1;
}

void GmapPixelToLonLat(int px, int py, double* lon, double* lat) {
  const MapProjection& map = mapProjection;
  if (!(map.scale > 0.0)) {
    *lon = map.centreLon;
    *lat = map.centreLat;
    return;
  }
  // Offsets east and north of the centre, in pixels.
  const double u = px - map.CX * 0.5;
  const double v = map.CY * 0.5 - py;
  // Azimuth clockwise from north.
  double azimuth;
  if (std::fabs(v) > 0.1) {
    azimuth = std::atan2(u, v);
  } else {
    azimuth = u > 0.0 ? kHalfPi : -kHalfPi;
  }
  const double c = std::atan(std::sqrt(u * u + v * v) / map.scale);
  const double sinC = std::sin(c), cosC = std::cos(c);
  const double sinA = std::sin(azimuth), cosA = std::cos(azimuth);
  const double theta0 = (90.0 - map.centreLat) * kDegToRad;
  const double sinTheta0 = std::sin(theta0), cosTheta0 = std::cos(theta0);

  const double cosTheta = std::clamp(sinC * sinTheta0 * cosA + cosC * cosTheta0, -1.0, 1.0);
  *lat = 90.0 - std::acos(cosTheta) * kRadToDeg;
  // The point's direction seen from the Earth's axis, in the frame of the centre's meridian:
  // the two-argument form covers every longitude difference and a centre on a pole.
  const double dLon =
      std::atan2(sinC * sinA, cosC * sinTheta0 - sinC * cosA * cosTheta0) * kRadToDeg;
  *lon = map.centreLon + dLon;
}

}  // namespace groundmap
