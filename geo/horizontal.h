#pragma once
// Mean J2000 right ascension and declination to azimuth and elevation at a station.
// Precession by the IAU 1976 angles (within 1.5 arcseconds of IAU 1976 for 1950-2100); no
// nutation, aberration or refraction: the result is the mean place of date in the geometric
// horizon frame of the station's geodetic latitude.

#include <limits>

#include "geo/angles.h"

// The precession matrix of the last TT asked for. All clicks of a record share one TT, so the
// matrix is built once per record. Process-wide, used on the user-interface thread only.
struct PrecessionCache {
  // P (mean J2000 to mean of date), column after column: P11, P21, P31, P12, P22, P32, P13, ...
  double matrix[9] = {};
  // The TT MJD the matrix was built for; NaN while empty, so the first call always builds.
  double key = std::numeric_limits<double>::quiet_NaN();
};
extern PrecessionCache precessionCache;

// Builds P for a TT MJD, column-major as in PrecessionCache::matrix.
void BuildPrecessionMatrix(double ttMjd, double matrix[9]);

// Brings precessionCache to ttMjd (builds it when ttMjd differs from its key) and returns its
// matrix.
const double* PrecessionMatrixOf(double ttMjd);

// Azimuth (degrees from north through east, in [0, 360]) and elevation (degrees, [-90, 90]) of the
// J2000 place (raDeg, decDeg, degrees) seen at TT ttMjd from geodetic latitude latDeg when the
// local sidereal time is lstDeg (degrees, any value). Rebuilds precessionCache when ttMjd differs
// from its key.
void EquatorialToHorizontal(double ttMjd, double lstDeg, double latDeg, double raDeg,
                            double decDeg, double* azDeg, double* elDeg);

// The same with P given (as BuildPrecessionMatrix builds it for the TT), so that no cache is
// touched (for any thread), and with the sine and cosine of latDeg in radians.
void EquatorialToHorizontalWith(const double precession[9], double lstDeg, SinCos lat,
                                double raDeg, double decDeg, double* azDeg, double* elDeg);
