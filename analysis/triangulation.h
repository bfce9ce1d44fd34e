#pragma once
// Triangulation of the points two stations both marked: each station's line of sight is cut by
// the vertical plane through the other station's line of sight, both ways, on the vectors the
// reader prepared for every click (sight, planeNormal and their twins moved by ddeg).
//
// Positions are geodetic on the reference ellipsoid: longitude and latitude in degrees, heights
// in metres here and in km in the result table.

#include <cstdint>
#include <vector>

#include "analysis/record_store.h"
#include "ulib/table_store.h"

// A point farther than this from either station is no result, km.
inline constexpr double kMaxStationDistanceKm = 1000.0;
// Largest difference between the azimuth a station marked and the azimuth from it to the
// point, degrees.
inline constexpr float kMaxAzimuthMismatchDeg = 10.0f;
// Clicks whose ddeg are both at or below this get error estimates of 0, degrees.
inline constexpr double kMinErrorDdeg = 1e-8;

// Cuts P's line of sight of click i with the vertical plane through Q's line of sight of click
// k. Writes the point's longitude and latitude (degrees) and height above the ellipsoid (m);
// returns the convergence angle of the two vertical planes in degrees, 0..90. *alongM, when
// given, receives the signed distance in metres from P's station to the point along the line:
// negative when the plane lies behind the station, where nothing was seen; the point written is
// then the one behind. A line parallel to the plane, or vectors that are not finite, give a
// distance and point that are not finite.
double IntersectSightWithPlane(const ObservationRecord& P, int32_t i, const ObservationRecord& Q,
                               int32_t k, double* lonDeg, double* latDeg, double* heightM,
                               double* alongM = nullptr);

// The same on the vectors moved by ddeg (sightPerturbed, planeNormalPerturbed of both records).
// An intersection behind the station is taken at the same distance in front of it: only the
// size of the change matters to the error estimates made from it.
double IntersectSightWithPlanePerturbed(const ObservationRecord& P, int32_t i,
                                        const ObservationRecord& Q, int32_t k, double* lonDeg,
                                        double* latDeg, double* heightM);

// One accepted point of a pair: the values of its result row but those it copies from the pair
// row, as the table keeps them.
struct TriangulatedPoint {
  std::int32_t pos, c1, c2;
  float qc, lng, lat, h1, h2, dH, ld1, ld2, dlng, dlat, dh1, dh2, dl1, dl2;
};

// The points TriangulatePair would make rows of with a least convergence angle of minQcDeg,
// appended to points in the same order. Reads only A and B, so that pairs can be worked on side
// by side.
void TriangulatePoints(const ObservationRecord& A, const ObservationRecord& B, double minQcDeg,
                       std::vector<TriangulatedPoint>* points);

// Appends a result row for each of points[0 .. count-1], copying "#", localtime, ID1 and ID2
// from the pair row.
void AppendResultRows(CUTable* results, const CUTable& pairs, std::int32_t pairRow,
                      const TriangulatedPoint* points, std::size_t count);

// Appends to results (a ResultTable) one row for every point number marked in both A and B
// that passes the acceptance tests: convergence angle at least AP.Qc, the point in front of
// both stations, within kMaxStationDistanceKm of both, both marked azimuths within
// kMaxAzimuthMismatchDeg of the azimuth to the point, and every value finite. pairs is the
// PairTable and pairRow the row just filled for A and B, whose "#", localtime, ID1 and ID2 the
// rows copy. A point number marked twice in a record is combined with every match.
void TriangulatePair(CUTable* results, const CUTable& pairs, int32_t pairRow,
                     const ObservationRecord& A, const ObservationRecord& B);
