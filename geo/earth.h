#pragma once
// Geometry on the reference ellipsoid (a = 6378137 m, e = 0.081819191042, the GRS80 figures) and
// on the sphere. Earth-centred, Earth-fixed (ECEF) coordinates in metres: X toward longitude 0 on
// the equator, Y toward 90 degrees east, Z toward the north pole. Longitudes east positive,
// latitudes north positive, azimuths from north through east, all in degrees; heights above the
// ellipsoid in metres. Vectors are passed as three doubles; results are written through pointers.

#include "geo/angles.h"

inline constexpr double kEarthA = 6378137.0;                    // semi-major axis, m
inline constexpr double kEarthE = 0.081819191042;               // first eccentricity
inline constexpr double kEarthE2 = 0.006694380022767293;        // e * e
inline constexpr double kEarthOneMinusE2 = 0.9933056199772327;  // 1 - e * e

// ECEF position of a geodetic point. lonDeg, latDeg in degrees; heightM in metres above the
// ellipsoid (for a station: altitude plus geoid height).
void GeodeticToEcef(double lonDeg, double latDeg, double heightM, double* x, double* y,
                    double* z);

// Geodetic point of an ECEF position (m): longitude in (-180, 180], latitude in [-90, 90],
// height in metres. Iterates to 1e-12 rad in latitude; any point less than 1e150 m from the
// centre gives a finite answer (a point on the polar axis gives latitude +-90; the centre counts
// as below the north pole; the equatorial plane is latitude 0 throughout).
void EcefToGeodetic(double x, double y, double z, double* lonDeg, double* latDeg,
                    double* heightM);

// Two points at once: gives exactly (bit for bit) what EcefToGeodetic gives for ecef[0] and
// ecef[1], in element 0 and 1 of each result. The two iterations run interleaved, which takes
// about two thirds of the time of two calls.
void EcefToGeodetic2(const double ecef[2][3], double lonDeg[2], double latDeg[2],
                     double heightM[2]);

// Straight-line (chord) distance in km between two geodetic points (degrees, heights in m).
double GeodeticDistanceKm(double lon1, double lat1, double height1M, double lon2, double lat2,
                          double height2M);

// Great-circle distance on a sphere of the local radius at the first point.
// lon1, lat1, lon2, lat2 in degrees; result in km. Within 0.7% of the ellipsoidal geodesic
// for 20-1000 km below 70 degrees latitude. Coincident points give 0, never NaN.
double GroundDistanceKm(double lon1, double lat1, double lon2, double lat2);

// Azimuth and angular distance on the sphere from (lat1) to (lat1 + dLat) with a longitude
// difference dLon = lon2 - lon1, all in degrees. *azDeg in [-180, 180], east positive; a point on
// the same meridian (dLon = 0) takes the negative sign, so due south is -180. *distDeg is the
// arc in degrees. Coincident points give distance 0 and azimuth 0, never NaN; from a first point
// at a pole every other point is due south (+-180, north pole) or due north (0, south pole).
void AzimuthAndDistance(double lat1, double dLon, double dLat, double* azDeg, double* distDeg);

// |a - b| folded into [0, 180] degrees, in single precision; 180 for opposite angles. Ends for
// any input; a non-finite difference gives NaN.
float AngleDiff180(float a, float b);

// The point reached on the sphere from (lonDeg, latDeg) along azDeg over distDeg degrees of arc.
// *lonOut in [-180, 180] for a start in that range, *latOut in [-90, 90]. A start or a
// destination at a pole gives the start longitude, never NaN.
void DestinationPoint(double lonDeg, double latDeg, double azDeg, double distDeg, double* lonOut,
                      double* latOut);

// Earth-fixed direction of a line of sight seen from a station (lonDeg, latDeg) at azimuth azDeg
// and elevation elDeg: the longitude of the meridian it points to in [0, 360] (for station
// longitudes in [-180, 360]) and its declination in [-90, 90], both degrees.
void HorizonToEarthFixedDir(double lonDeg, double latDeg, double azDeg, double elDeg,
                            double* dirLonDeg, double* dirLatDeg);

// HorizonToEarthFixedDir with the sine and cosine of the station latitude (latDeg in radians)
// and of the azimuth counted from the south (HorizonAzimuthFromSouth) given, for callers that
// turn many directions at one station or in one azimuth; the same result, bit for bit.
void HorizonToEarthFixedDirOf(double lonDeg, SinCos lat, SinCos azimuthFromSouth, double elDeg,
                              double* dirLonDeg, double* dirLatDeg);
double HorizonAzimuthFromSouth(double azDeg);

// Unit vector of the spherical angles (lonDeg, latDeg), in ECEF axes.
void DirectionVector(double lonDeg, double latDeg, double* x, double* y, double* z);

// n = (a x b) / |a x b|; returns |a x b| (for unit vectors, the sine of the angle between them).
// Parallel or zero vectors return 0 with n = (0, 0, 0).
double UnitCross(double ax, double ay, double az, double bx, double by, double bz, double* nx,
                 double* ny, double* nz);
