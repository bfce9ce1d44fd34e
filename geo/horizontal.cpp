#include "geo/horizontal.h"

#include <algorithm>
#include <cmath>

#include "geo/angles.h"

PrecessionCache precessionCache;

void BuildPrecessionMatrix(double ttMjd, double matrix[9]) {
  // Centuries of 36524.22 days from J2000.0 TT, with the rates the stored results were made
  // with; within 1.5 arcseconds of the IAU 1976 angles over 1950-2100.
  const double t = (ttMjd - 51544.5) / 36524.22;
  const double t2 = t * t;
  const double t3 = t2 * t;
  const double zetaArcsec = 2305.6190292359424 * t + 0.302 * t2 + 0.0179 * t3;
  const double zArcsec = zetaArcsec + 0.791 * t2 + 0.0013 * t3;
  const double thetaArcsec = 2003.8289817835946 * t - 0.426 * t2 + 0.0416 * t3;
  const double zeta = zetaArcsec / 3600 * kDegToRad;
  const double z = zArcsec / 3600 * kDegToRad;
  const double theta = thetaArcsec / 3600 * kDegToRad;

  const double cZeta = std::cos(zeta), sZeta = std::sin(zeta);
  const double cZ = std::cos(z), sZ = std::sin(z);
  const double cTheta = std::cos(theta), sTheta = std::sin(theta);
  matrix[0] = cZ * cTheta * cZeta - sZ * sZeta;   // P11
  matrix[1] = cZ * sZeta + sZ * cTheta * cZeta;   // P21
  matrix[2] = sTheta * cZeta;                     // P31
  matrix[3] = -sZeta * cTheta * cZ - sZ * cZeta;  // P12
  matrix[4] = cZ * cZeta - cTheta * sZeta * sZ;   // P22
  matrix[5] = -sTheta * sZeta;                    // P32
  matrix[6] = -sTheta * cZ;                       // P13
  matrix[7] = -sTheta * sZ;                       // P23
  matrix[8] = cTheta;                             // P33
}

const double* PrecessionMatrixOf(double ttMjd) {
  PrecessionCache& cache = precessionCache;
  if (!(ttMjd == cache.key)) {
    BuildPrecessionMatrix(ttMjd, cache.matrix);
    cache.key = ttMjd;
  }
  return cache.matrix;
}

void EquatorialToHorizontal(double ttMjd, double lstDeg, double latDeg, double raDeg,
                            double decDeg, double* azDeg, double* elDeg) {
  EquatorialToHorizontalWith(PrecessionMatrixOf(ttMjd), lstDeg, SinCosOf(latDeg * kDegToRad),
                             raDeg, decDeg, azDeg, elDeg);
}

void EquatorialToHorizontalWith(const double precession[9], double lstDeg, SinCos lat,
                                double raDeg, double decDeg, double* azDeg, double* elDeg) {
  const double* p = precession;

  const double alpha = raDeg * kDegToRad;
  const double delta = decDeg * kDegToRad;
  const double x = std::cos(delta) * std::cos(alpha);
  const double y = std::cos(delta) * std::sin(alpha);
  const double z = std::sin(delta);
  const double xd = p[0] * x + p[3] * y + p[6] * z;
  const double yd = p[1] * x + p[4] * y + p[7] * z;
  const double zd = p[2] * x + p[5] * y + p[8] * z;

  double raDate = std::atan2(yd, xd);
  if (raDate < 0) raDate += kTwoPi;
  const double hourAngle = (lstDeg - raDate * kRadToDeg) * kDegToRad;
  const double decDate = std::asin(std::clamp(zd, -1.0, 1.0)) * kRadToDeg * kDegToRad;
  const SinCos phi = lat;

  const double north =
      phi.cos * std::sin(decDate) - phi.sin * std::cos(decDate) * std::cos(hourAngle);
  const double east = -std::cos(decDate) * std::sin(hourAngle);
  double az = std::atan2(east, north) * kRadToDeg;
  const double sinEl =
      phi.cos * std::cos(decDate) * std::cos(hourAngle) + phi.sin * std::sin(decDate);
  // The horizontal component by its length, not N / cos A, which fails due east and west.
  // The factors put the zenith a hair above 90 degrees.
  *elDeg = std::clamp(std::atan2(sinEl, std::sqrt(north * north + east * east)) * kRadToDeg,
                      -90.0, 90.0);
  while (az < 0) az += 360;
  while (az > 360) az -= 360;
  *azDeg = az + 0.0;  // due north is 0, not -0
}
