#pragma once
// Right ascension and declination of a direction seen at a station: the inverse of the
// program's own EquatorialToHorizontal, so that reading the written sky position back gives
// the azimuth and elevation it was made from.

// J2000 right ascension (degrees, [0, 360)) and declination (degrees) of the direction at
// azimuth azDeg and elevation elDeg seen from geodetic latitude latDeg at TT ttMjd, local
// sidereal time lstDeg. EquatorialToHorizontal of the result gives azDeg and elDeg back to
// within 1e-10 degrees (away from the zenith and from due east or west, where the elevation
// formula of the forward conversion itself loses its digits).
void HorizontalToEquatorial(double ttMjd, double lstDeg, double latDeg, double azDeg,
                            double elDeg, double* raDeg, double* decDeg);
