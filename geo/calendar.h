#pragma once
// Calendar dates, Modified Julian Dates and the time scales derived from them.
//
// A time is a Modified Julian Date (MJD): days from 1858-11-17 0h as a double, the fraction being
// the time of day (0.5 is noon). Dates are proleptic Gregorian. Times given here are UT as the
// clicks files carry them; no time zone is applied. Date parts are 32-bit signed integers
// (month 1..12); the second is single precision, widened to double before any arithmetic.

#include <cstdint>

inline constexpr int kCalendarFirstYear = 1900;
inline constexpr int kCalendarLastYear = 2099;
inline constexpr int kMonthStartCount = (kCalendarLastYear - kCalendarFirstYear + 1) * 12;  // 2400
inline constexpr int kLeapSecondCount = 300;

// The MJD of 0h UT on the first day of every month from January 1900 to December 2099; the entry
// of (year, month) has index (year - 1900) * 12 + (month - 1). All zeros until
// InitCalendarTables has run, constant afterwards.
extern const double (&MonthStartTable)[kMonthStartCount];

// TAI - UTC steps, newest first (mjd descending): from mjd[i] on, TAI - UTC is
// taiMinusUtcSec[i] seconds. Nothing supplies leap seconds, so every entry is MJD 0 with 0 s and
// TT is always UT + 32.184 s, as the stored results were computed.
struct LeapSecondEntries {
  double mjd[kLeapSecondCount];
  float taiMinusUtcSec[kLeapSecondCount];
};
extern const LeapSecondEntries LeapSecondTable;

// Fills MonthStartTable. Runs once at start-up; running it again writes the same values.
void InitCalendarTables();

// MJD of a UT date and time. Out-of-range fields carry arithmetically: month 13 is January of
// the next year, day 0 the last day of the month before, hour 24 the next day's 0h.
// The day count is held in 64 bits, so every 32-bit year counts without overflow. Its divisions
// truncate toward zero, so the count follows the proleptic calendar from 0000-03-01 on only;
// before that it can be a day off.
double DateToMjd(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                 float second);

// Calendar date of the day holding the MJD (the time of day is dropped). Any finite MJD gives a
// real date: 1900-2099 from MonthStartTable, other years by calendar arithmetic with the same
// results. A non-finite MJD, or one whose year does not fit in 32 bits, gives 0000-01-01.
void MjdToDate(double mjd, int32_t* year, int32_t* month, int32_t* day);

// The same date by calendar arithmetic alone, for any MJD; MjdToDate uses it outside
// MonthStartTable, and inside it the two agree on every day.
void CivilDateOfMjd(double mjd, int32_t* year, int32_t* month, int32_t* day);

// Date and time of day of an MJD. The second is snapped to a whole second when within 0.001 s of
// one; a second that rounds to 60 is carried into the minute (and hour, day), so the second lies
// in [0, 60). A non-finite MJD gives 0000-01-01 00:00:00.
void MjdToDateTime(double mjd, int32_t* year, int32_t* month, int32_t* day, int32_t* hour,
                   int32_t* minute, float* second);

// Days in the month: 28 or 29 for February (Gregorian leap rule), 30 for April, June, September
// and November, 31 for every other month value, values outside 1..12 included.
int32_t DaysInMonth(int32_t year, int32_t month);

// Terrestrial Time, as an MJD, of a UT date and time: UT + TAI-UTC from LeapSecondTable + 32.184 s.
double DateToTtMjd(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                   float second);

// Local mean sidereal time in degrees for a UT date and time at a longitude (degrees east), by the
// GMST polynomial of 0h UT of the day; within 2e-5 degrees of IAU 1982 GMST for 1950-2100.
// Folded once each way, so the result normally lies in [0, 360] but can stay slightly below 0
// for dates before 2000 at western longitudes; use it only through periodic functions.
double LocalSiderealDeg(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                        float second, float lonDeg);
