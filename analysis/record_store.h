#pragma once
// The observation records read from the clicks files: one station's view of one event each, with
// up to 50 marked points. One process-wide store of 10000 records, allocated once on first use
// (about 70 MB, so never on the stack), reached through theRecordStore().
//
// Angles are degrees, heights metres, times Modified Julian Dates (UT unless named tt).

#include <cstdint>

inline constexpr int kMaxRecords = 10000;
inline constexpr int kMaxClicksPerRecord = 50;
inline constexpr int kMaxIdChars = 31;  // lid and sid, without the terminating NUL

// The clicks of one record as parallel arrays: click k is slot k of every array, for
// k < ObservationRecord::clickCount, in the order the lines were read. A vector array holds the
// X components of the 50 slots, then the Y components, then the Z components:
// sight[0][k], sight[1][k], sight[2][k] are X, Y, Z of click k.
struct Click {
  int32_t pos[kMaxClicksPerRecord];  // point number; two stations' clicks match on equal pos
  float x[kMaxClicksPerRecord];      // pixel position on the frame
  float y[kMaxClicksPerRecord];
  float az[kMaxClicksPerRecord];    // azimuth from north through east, as the file gives it
  float ev[kMaxClicksPerRecord];    // elevation, as the file gives it
  float ddeg[kMaxClicksPerRecord];  // uncertainty of the click
  double ra[kMaxClicksPerRecord];   // J2000 right ascension (read in single precision)
  double dec[kMaxClicksPerRecord];  // J2000 declination (read in single precision)
  // Unit line of sight, Earth-fixed, from ra and dec at the record's time (not from az, ev).
  double sight[3][kMaxClicksPerRecord];
  // The line of sight moved by ddeg in azimuth and in elevation.
  double sightPerturbed[3][kMaxClicksPerRecord];
  // Unit normal of the vertical plane that contains sight, and of the one containing
  // sightPerturbed.
  double planeNormal[3][kMaxClicksPerRecord];
  double planeNormalPerturbed[3][kMaxClicksPerRecord];
};

struct ObservationRecord {
  // UT date and time of the record's first line.
  int32_t Y_ut, M_ut, D_ut, h_ut, m_ut;
  float s_ut;
  char lid[kMaxIdChars + 1];  // station id, NUL-terminated
  char sid[kMaxIdChars + 1];  // sub id, NUL-terminated
  // Station location of the record's first line. lng is the files' "long" column.
  float lng;     // degrees east
  float lat;     // degrees north
  float alt;     // metres
  float gioidh;  // geoid height, metres; the height above the ellipsoid is alt + gioidh
  double ttMjd;   // the UT time on the TT scale
  double lstDeg;  // local sidereal time at the station
  double ecef[3]; // Earth-centred Earth-fixed X, Y, Z of the station, metres
  double mjd;     // the UT time (no time-zone offset)
  // Local time stamp "YYYYMMDD_hhmmss", rounded to the whole second.
  char localtime[16];
  // Sort key: the stamp's 14 digits, then lid, then sid. Records are told apart by stamp, lid
  // and sid as separate values, so the key is for ordering only.
  char key[100];
  Click clicks;
  int32_t clickCount;  // 0..kMaxClicksPerRecord
};

struct RecordStore {
  ObservationRecord records[kMaxRecords];  // records[0 .. recordCount-1] are in use
  int32_t recordCount = 0;
  // Set when a line needed a record of its own and the store was full; the reader then reads
  // nothing until the next read command clears it.
  int32_t stopReading = 0;
  // Smallest and largest record mjd seen; at start-up 1900-01-01 and 2099-01-01 (no data yet).
  double minMjd = 15020.0;
  double maxMjd = 87704.0;
  int32_t busy = 0;  // re-entrancy guard of the read command and of the selection; 0 when idle
};

// The one store of the process, zero-filled when first asked for. Not thread-safe (the program
// reads and pairs on its user-interface thread only).
RecordStore& theRecordStore();

// What the read command does before walking the input folder: no records, not stopped, and
// minMjd := 2099-01-01, maxMjd := 1900-01-01 so that the first record sets both.
// busy is left as it is (the caller holds it).
void EmptyRecordStore();
