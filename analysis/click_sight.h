#pragma once
// The Earth-fixed geometry of one click, which the triangulation intersects.

#include "analysis/record_store.h"

// Fills sight, planeNormal, sightPerturbed and planeNormalPerturbed of click k of the record from
// its ra, dec and ddeg, at the record's ttMjd and lstDeg, seen from the record's lng and lat.
// The azimuth and elevation come from the sky position; the file's az and ev are not used.
// The plane normal is that of the vertical plane through the sight: the sight crossed with the
// direction 45 degrees lower in the same azimuth. The perturbed twins move the direction by ddeg
// in azimuth and in elevation.
void ComputeClickSight(ObservationRecord* record, int k);

// What the sights of one record's clicks are computed from: the record's lng, lat (degrees),
// ttMjd and lstDeg, the precession matrix of its TT (BuildPrecessionMatrix), and the sine and
// cosine of its latitude in radians.
struct SightStation {
  double lng, lat, ttMjd, lstDeg;
  double precession[9];
  double sinLat, cosLat;
};

// The station of a record with these values, its matrix built afresh.
SightStation MakeSightStation(float lng, float lat, double ttMjd, double lstDeg);

// The four vectors of one click, as ComputeClickSight stores them in the click's slot.
struct ClickSight {
  double sight[3], sightPerturbed[3], planeNormal[3], planeNormalPerturbed[3];
};

// ComputeClickSight of a click with this ra, dec and ddeg at the station, bit for bit, touching
// nothing but *out (no cache): for any thread.
void ComputeSight(const SightStation& station, double ra, double dec, double ddeg,
                  ClickSight* out);

// Writes the vectors into slot k of the clicks.
void StoreClickSight(const ClickSight& sight, Click* clicks, int k);
