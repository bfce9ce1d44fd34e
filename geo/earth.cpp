#include "geo/earth.h"

#include <algorithm>
#include <cmath>

#include "geo/angles.h"

namespace {

// Points near the surface settle within a handful of iterations and points far out even
// faster; points within a few tens of km of the Earth's centre can circle for ever.
constexpr int kMaxLatitudeIterations = 1000;

// Closer than this to the polar axis, relative to |Z|, the latitude is +-90 to within the
// iteration's tolerance, while the iteration itself can flip to the wrong pole.
constexpr double kPolarAxisRatio = 1e-12;

// Near the poles p / cos(lat) loses its digits; the height is then taken from Z instead
// (the two agree to 0.1 mm where they meet).
constexpr double kPolarHeightCos = 1e-3;

// A colatitude whose sine is below this is a pole, where a longitude means nothing (6 um).
constexpr double kPoleSine = 1e-12;

// N from the sine of the latitude, for callers that have the sine already.
double PrimeVerticalRadiusOfSine(double sinLat) {
  const double s = kEarthE * sinLat;
  return kEarthA / std::sqrt(1 - s * s);
}

double PrimeVerticalRadius(double latRad) { return PrimeVerticalRadiusOfSine(std::sin(latRad)); }

double ClampUnit(double c) { return std::clamp(c, -1.0, 1.0); }

// Height above the ellipsoid of a point at distance p from the axis and height z above the
// equator whose geodetic latitude is latRad, with cosLat = cos(latRad) and N = N(latRad).
double HeightAt(double p, double z, double latRad, double cosLat, double n) {
  if (std::fabs(cosLat) < kPolarHeightCos) return z / std::sin(latRad) - n * kEarthOneMinusE2;
  return p / cosLat - n;
}

// Geodetic latitude (radians) and height by Vermeille's closed form (J. Geodesy 85, 2011),
// valid for every point off the polar axis, also inside the evolute near the centre.
void ClosedFormGeodetic(double p, double z, double* latRad, double* heightM) {
  const double e4 = kEarthE2 * kEarthE2;
  const double pp = (p / kEarthA) * (p / kEarthA);
  const double q = kEarthOneMinusE2 * (z / kEarthA) * (z / kEarthA);
  const double r = (pp + q - e4) / 6;
  const double s = e4 * pp * q / 4;
  const double r2 = r * r;
  const double r3 = r * r2;
  const double disc = s * (s + 2 * r3);
  double u = r;
  if (disc >= 0) {
    double t3 = s + r3;
    t3 += t3 < 0 ? -std::sqrt(disc) : std::sqrt(disc);  // no cancellation
    const double t = std::cbrt(t3);
    u += t + (t != 0 ? r2 / t : 0);
  } else {
    // Inside the evolute: the three real roots of the cubic, take the one of the footpoint.
    const double ang = std::atan2(std::sqrt(-disc), -(s + r3));
    u += 2 * r * std::cos(ang / 3);
  }
  const double v = std::sqrt(u * u + e4 * q);
  const double uv = u < 0 ? e4 * q / (v - u) : u + v;
  const double w = std::max(0.0, kEarthE2 * (uv - q) / (2 * v));
  const double k = uv / (std::sqrt(uv + w * w) + w);
  const double d = k * p / (k + kEarthE2);
  *latRad = std::atan2(z / k, p / (k + kEarthE2));
  *heightM = (1 - kEarthOneMinusE2 / k) * std::hypot(d, z);
}

}  // namespace

void GeodeticToEcef(double lonDeg, double latDeg, double heightM, double* x, double* y,
                    double* z) {
  const double lon = lonDeg * kDegToRad;
  const double lat = latDeg * kDegToRad;
  const double n = PrimeVerticalRadius(lat);
  *x = (n + heightM) * std::cos(lat) * std::cos(lon);
  *y = (n + heightM) * std::cos(lat) * std::sin(lon);
  *z = (n * kEarthOneMinusE2 + heightM) * std::sin(lat);
}

namespace {

// Longitude, distance from the axis and, for the points that have one, the start of the latitude
// iteration. The polar axis, the centre and the equatorial plane are answered at once; they
// return false with every result written.
bool StartGeodetic(double x, double y, double z, double* lonDeg, double* p, double* latDeg,
                   double* heightM) {
  // y + 0.0 turns -0 into +0, so that the negative X axis is longitude 180, not -180.
  *lonDeg = std::atan2(y + 0.0, x) * kRadToDeg;
  *p = std::sqrt(x * x + y * y);

  if (*p <= kPolarAxisRatio * std::fabs(z) || (*p == 0 && z == 0)) {
    // On the polar axis; the centre counts as below the north pole, its nearest surface point.
    const double lat = z < 0 ? -kHalfPi : kHalfPi;
    *latDeg = lat * kRadToDeg;
    *heightM = std::fabs(z) - PrimeVerticalRadius(lat) * kEarthOneMinusE2;
    return false;
  }

  if (z == 0) {
    // In the equatorial plane the iteration stays at latitude 0 from its first step, except at
    // p = e^2 a, where its first quotient is 0 / 0.
    *latDeg = 0;
    *heightM = *p - kEarthA;
    return false;
  }
  return true;
}

// The fixed-point iteration of the latitude of one point, split into its steps so that two
// points can run them side by side (EcefToGeodetic2) with each step exactly as for one point.
//
// Each step needs the cosine of the latitude before it and the sine of the latitude it finds
// (for N). Both of one latitude come from a single sincos call, which on glibc gives the same
// bits as sin and cos apart, and the cosine of the newest latitude is carried to the next
// step and to the height: one maths call a step fewer than sin and cos of two latitudes.
struct LatitudeIteration {
  double p, z;
  double lat0, lat, sinLat, cosLat, n;
  int iterations;

  LatitudeIteration(double pIn, double zIn) : p(pIn), z(zIn), iterations(0) {
    lat0 = std::atan(z / (p * kEarthOneMinusE2));
    sincos(lat0, &sinLat, &cosLat);
    n = PrimeVerticalRadiusOfSine(sinLat);
    lat = std::atan(z / (p - kEarthE2 * n * cosLat));
    cosLat = std::cos(lat);  // its sine is not needed: N stays N(lat0) until the next step
  }

  bool Settled() const { return !(std::fabs(lat - lat0) > 1e-12); }

  void Step() {
    ++iterations;
    lat0 = lat;
    lat = std::atan(z / (p - kEarthE2 * n * cosLat));
    sincos(lat, &sinLat, &cosLat);
    n = PrimeVerticalRadiusOfSine(sinLat);
  }

  // Runs the remaining steps (the closed form once the steps are used up) and writes the
  // latitude and height.
  void Finish(double* latDeg, double* heightM) {
    while (!Settled()) {
      if (iterations >= kMaxLatitudeIterations) {
        ClosedFormGeodetic(p, z, &lat, heightM);
        *latDeg = lat * kRadToDeg;
        return;
      }
      Step();
    }
    *latDeg = lat * kRadToDeg;
    *heightM = HeightAt(p, z, lat, cosLat, n);
  }
};

}  // namespace

void EcefToGeodetic(double x, double y, double z, double* lonDeg, double* latDeg,
                    double* heightM) {
  double p;
  if (!StartGeodetic(x, y, z, lonDeg, &p, latDeg, heightM)) return;
  LatitudeIteration it(p, z);
  it.Finish(latDeg, heightM);
}

void EcefToGeodetic2(const double ecef[2][3], double lonDeg[2], double latDeg[2],
                     double heightM[2]) {
  double p[2];
  const bool iterateA =
      StartGeodetic(ecef[0][0], ecef[0][1], ecef[0][2], &lonDeg[0], &p[0], &latDeg[0], &heightM[0]);
  const bool iterateB =
      StartGeodetic(ecef[1][0], ecef[1][1], ecef[1][2], &lonDeg[1], &p[1], &latDeg[1], &heightM[1]);
  if (!iterateA || !iterateB) {
    // At most one iteration to run: nothing to overlap.
    if (iterateA) LatitudeIteration(p[0], ecef[0][2]).Finish(&latDeg[0], &heightM[0]);
    if (iterateB) LatitudeIteration(p[1], ecef[1][2]).Finish(&latDeg[1], &heightM[1]);
    return;
  }
  // Every step is a chain of divide, atan, sincos and sqrt that waits on the step before; the
  // two points' chains do not depend on each other, so one loop doing a step of each lets the
  // CPU run them at once. Both have made the same number of steps while both run, so the cap
  // is reached by both together; the one left over finishes alone.
  LatitudeIteration a(p[0], ecef[0][2]);
  LatitudeIteration b(p[1], ecef[1][2]);
  while (!a.Settled() && !b.Settled() && a.iterations < kMaxLatitudeIterations) {
    a.Step();
    b.Step();
  }
  a.Finish(&latDeg[0], &heightM[0]);
  b.Finish(&latDeg[1], &heightM[1]);
}

double GeodeticDistanceKm(double lon1, double lat1, double height1M, double lon2, double lat2,
                          double height2M) {
  double x1, y1, z1, x2, y2, z2;
  GeodeticToEcef(lon1, lat1, height1M, &x1, &y1, &z1);
  GeodeticToEcef(lon2, lat2, height2M, &x2, &y2, &z2);
  const double dx = (x2 - x1) / 1000;
  const double dy = (y2 - y1) / 1000;
  const double dz = (z2 - z1) / 1000;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double GroundDistanceKm(double lon1, double lat1, double lon2, double lat2) {
  // The cosine of a zero arc can round below 1, which would leave about 0.1 m.
  if (lon1 == lon2 && lat1 == lat2) return 0;
  const double phi1 = lat1 * kDegToRad;
  const double phi2 = lat2 * kDegToRad;
  const double dLambda = (lon2 - lon1) * kDegToRad;
  const double cosSigma =
      ClampUnit(std::sin(phi1 + kHalfPi) * std::sin(phi2 + kHalfPi) * std::cos(dLambda) +
                std::cos(phi1 + kHalfPi) * std::cos(phi2 + kHalfPi));
  const double sigma = std::acos(cosSigma);
  const double radiusKm =
      6378.14 * (0.9983271 + 0.0016764 * std::cos(2 * phi1) - 0.0000035 * std::cos(4 * phi1));
  return sigma * radiusKm;
}

void AzimuthAndDistance(double lat1, double dLon, double dLat, double* azDeg, double* distDeg) {
  if (dLon == 0 && dLat == 0) {  // the same point: see GroundDistanceKm
    *azDeg = 0;
    *distDeg = 0;
    return;
  }
  const double c1 = kHalfPi - lat1 * kDegToRad;
  const double c2 = kHalfPi - (lat1 + dLat) * kDegToRad;
  const double cosD = ClampUnit(std::sin(c1) * std::sin(c2) * std::cos(dLon * kDegToRad) +
                                std::cos(c1) * std::cos(c2));
  const double d = std::acos(cosD);
  *distDeg = d * kRadToDeg;
  if (d == 0) {
    *azDeg = 0;
    return;
  }
  const double sinC1 = std::sin(c1);
  double a;
  if (std::fabs(sinC1) < kPoleSine) {
    // From a pole every other point lies due south (north pole) or due north (south pole); the
    // quotient below would be rounding noise over a vanishing divisor.
    a = c1 < kHalfPi ? kPi : 0.0;
  } else {
    const double cosA = (std::cos(c2) - cosD * std::cos(c1)) / (std::sin(d) * sinC1);
    a = std::acos(ClampUnit(cosA));
  }
  // The factors make acos(-1) a hair above 180 degrees.
  const double aDeg = std::min(a * kRadToDeg, 180.0);
  const bool east = (dLon > 0 && dLon <= 180) || dLon <= -180;
  *azDeg = east ? aDeg : -aDeg;
}

float AngleDiff180(float a, float b) {
  const float d = a - b;
  return std::fabs(std::remainder(d, 360.0f));
}

void DestinationPoint(double lonDeg, double latDeg, double azDeg, double distDeg, double* lonOut,
                      double* latOut) {
  const double alpha = azDeg * kDegToRad;
  const double delta = distDeg * kDegToRad;
  const double c1 = kHalfPi - latDeg * kDegToRad;
  const double cosC2 =
      ClampUnit(std::cos(c1) * std::cos(delta) + std::sin(c1) * std::sin(delta) * std::cos(alpha));
  const double c2 = std::acos(cosC2);
  *latOut = (kHalfPi - c2) * kRadToDeg;

  const double sinC1 = std::sin(c1);
  const double sinC2 = std::sin(c2);
  double dLambda = 0;  // at a pole the longitude is undefined: keep the start's
  if (std::fabs(sinC1) >= kPoleSine && std::fabs(sinC2) >= kPoleSine) {
    const double y = std::sin(alpha) / sinC2 * std::sin(delta);
    const double x = (std::cos(delta) - std::cos(c1) * cosC2) / sinC1 / sinC2;
    dLambda = std::atan2(y, x);
    if (!std::isfinite(dLambda)) dLambda = 0;
  }
  double lon = lonDeg + dLambda * kRadToDeg;
  if (lon > 180) lon -= 360;
  if (lon < -180) lon += 360;
  *lonOut = lon;
}

double HorizonAzimuthFromSouth(double azDeg) { return azDeg * kDegToRad + kPi; }

void HorizonToEarthFixedDir(double lonDeg, double latDeg, double azDeg, double elDeg,
                            double* dirLonDeg, double* dirLatDeg) {
  HorizonToEarthFixedDirOf(lonDeg, SinCosOf(latDeg * kDegToRad),
                           SinCosOf(HorizonAzimuthFromSouth(azDeg)), elDeg, dirLonDeg, dirLatDeg);
}

void HorizonToEarthFixedDirOf(double lonDeg, SinCos lat, SinCos azimuthFromSouth, double elDeg,
                              double* dirLonDeg, double* dirLatDeg) {
  const SinCos phi = lat;
  const SinCos a = azimuthFromSouth;
  const SinCos zenith = SinCosOf(kHalfPi - elDeg * kDegToRad);
  *dirLatDeg = std::asin(ClampUnit(zenith.cos * phi.sin - zenith.sin * phi.cos * a.cos)) *
               kRadToDeg;
  const double h =
      std::atan2(a.sin * zenith.sin, zenith.sin * phi.sin * a.cos + zenith.cos * phi.cos);
  double lon = lonDeg - h * kRadToDeg;
  if (lon < 0) lon += 360;
  if (lon > 360) lon -= 360;
  *dirLonDeg = lon;
}

void DirectionVector(double lonDeg, double latDeg, double* x, double* y, double* z) {
  const double lon = lonDeg * kDegToRad;
  const double lat = latDeg * kDegToRad;
  *x = std::cos(lon) * std::cos(lat);
  *y = std::sin(lon) * std::cos(lat);
  *z = std::sin(lat);
}

double UnitCross(double ax, double ay, double az, double bx, double by, double bz, double* nx,
                 double* ny, double* nz) {
  const double cx = ay * bz - az * by;
  const double cy = az * bx - ax * bz;
  const double cz = ax * by - ay * bx;
  const double length = std::sqrt(cx * cx + cy * cy + cz * cz);
  if (length == 0) {
    *nx = *ny = *nz = 0;
    return 0;
  }
  *nx = cx / length;
  *ny = cy / length;
  *nz = cz / length;
  return length;
}
