#pragma once
// Synthetic meteors for testing and for the demo data: a straight, uniform flight seen from two
// or three stations, written as one clicks file per station in the program's own format, with
// the true positions in a file beside them.
//
// Angles in degrees, heights in km for the flight and m for stations, times in UT.

#include <cstdint>
#include <string>
#include <vector>

struct UtTime {
  int32_t year, month, day, hour, minute;
  double second;  // written to the millisecond
};

struct SyntheticStation {
  std::string lid;
  std::string sid;
  double lngDeg = 0;  // written to 5 decimals, the precision the scrambled location carries
  double latDeg = 0;
  double altM = 0;
  double gioidhM = 35.0;
  // This station's record time after the event's start, s (clocks of two stations differ).
  double clockOffsetSec = 0;
  // Added to the azimuth column only, not to the sky position: an observer whose azimuths
  // disagree with the sky by this much, degrees.
  double azColumnOffsetDeg = 0;
};

// A straight flight at constant speed from its begin point.
struct Trajectory {
  double beginLngDeg = 0;
  double beginLatDeg = 0;
  double beginHeightKm = 100;
  double headingDeg = 0;   // azimuth of the direction of flight at the begin point
  double descentDeg = 45;  // angle of the flight below the local horizontal there
  double speedKmS = 30;
  double durationSec = 1;
  int32_t pointCount = 10;  // points 1..pointCount, evenly spaced in time over durationSec
};

struct ClickStyle {
  // The clicks' uncertainty. Through the optional tail of the line, which also carries the
  // scrambled station location and the geoid height.
  double ddegDeg = 0.06;
  // Gaussian noise, standard deviation in degrees, added to every click's azimuth and elevation.
  double noiseDeg = 0;
  // Added to every click's azimuth and elevation after the noise, degrees.
  double shiftDeg = 0;
  uint32_t seed = 1;  // of the noise and of the scrambling numbers
};

struct SyntheticEvent {
  UtTime start;
  Trajectory flight;
  std::vector<SyntheticStation> stations;
  ClickStyle style;
};

// One point of the flight: its number, geodetic position and Earth-centred position (m).
struct TruePoint {
  int32_t pos;
  double lngDeg, latDeg, heightM;
  double ecef[3];
};

// The flight's points, pos 1..pointCount.
std::vector<TruePoint> FlightPoints(const Trajectory& flight);

// Writes the event's files into dir (which must exist): "<name>_<lid>_clicks.csv" for every
// station and "<name>_truth.csv" with the true positions. Every line of a station's file carries
// that station's record time, and the sky positions are computed for that time, as the reader
// converts every click with its record's first time. Returns an empty text, or what failed.
std::string WriteSyntheticEvent(const SyntheticEvent& event, const std::string& dir,
                                const std::string& name);

// The name the files of an event start with: "YYYYMMDD_hhmmss" of its UT start.
std::string EventFileStem(const UtTime& start);
