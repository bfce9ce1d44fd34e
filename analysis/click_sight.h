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
