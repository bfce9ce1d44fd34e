#include "geo/calendar.h"

#include <cmath>
#include <cstdint>

namespace {

double monthStarts[kMonthStartCount];

// MJD of 1970-01-01, the epoch of the day arithmetic below.
constexpr int64_t kMjdOf1970 = 40587;

// 2100-01-01, the first day after MonthStartTable's last month.
constexpr double kMjdOf2100 = 88069;

// Beyond this many days from MJD 0 the year no longer fits in 32 bits.
constexpr double kMaxAbsMjd = 7.0e11;

int MonthIndex(int year, int month) { return (year - kCalendarFirstYear) * 12 + (month - 1); }

bool TablesFilled() { return monthStarts[0] != 0.0; }

// Proleptic Gregorian date of a day counted from 1970-01-01, by eras of 400 years starting on
// 1 March so that the leap day ends the year. Exact for every int64 day in range.
void CivilFromDays(int64_t days, int32_t* year, int32_t* month, int32_t* day) {
  const int64_t z = days + 719468;  // days from 0000-03-01
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t dayOfEra = z - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t marchMonth = (5 * dayOfYear + 2) / 153;  // 0 = March
  *day = static_cast<int32_t>(dayOfYear - (153 * marchMonth + 2) / 5 + 1);
  *month = static_cast<int32_t>(marchMonth < 10 ? marchMonth + 3 : marchMonth - 9);
  *year = static_cast<int32_t>(yearOfEra + era * 400 + (*month <= 2 ? 1 : 0));
}

// The month search over the precomputed starts; the MJD must lie in 1900-01-01..2099-12-31.
void TableDate(double mjd, int32_t* year, int32_t* month, int32_t* day) {
  int y = kCalendarFirstYear + 1;
  while (y <= kCalendarLastYear && !(monthStarts[MonthIndex(y, 1)] > mjd)) ++y;
  --y;
  int m = 2;
  while (m <= 12 && !(monthStarts[MonthIndex(y, m)] > mjd)) ++m;
  --m;
  *year = y;
  *month = m;
  *day = static_cast<int32_t>(std::trunc(mjd - monthStarts[MonthIndex(y, m)] + 1.0));
}

}  // namespace

const double (&MonthStartTable)[kMonthStartCount] = monthStarts;

const LeapSecondEntries LeapSecondTable = {};

void InitCalendarTables() {
  for (int year = kCalendarFirstYear; year <= kCalendarLastYear; ++year) {
    for (int month = 1; month <= 12; ++month) {
      monthStarts[MonthIndex(year, month)] = DateToMjd(year, month, 1, 0, 0, 0.0f);
    }
  }
}

double DateToMjd(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                 float second) {
  // January and February count as months 13 and 14 of the year before. 64-bit arithmetic
  // keeps every 32-bit field in range.
  int64_t y = year;
  int64_t m = month;
  if (month <= 2) {
    y -= 1;
    m += 12;
  }
  const int64_t dayCount = static_cast<int64_t>(std::trunc(365.25 * static_cast<double>(y))) +
                           y / 400 - y / 100 +
                           static_cast<int64_t>(std::trunc(30.59 * static_cast<double>(m - 2)));
  const double fraction =
      ((static_cast<double>(second) / 60 + minute) / 60 + hour) / 24 + day;
  return static_cast<double>(dayCount) + fraction - 678912;
}

void CivilDateOfMjd(double mjd, int32_t* year, int32_t* month, int32_t* day) {
  if (!(std::fabs(mjd) < kMaxAbsMjd)) {  // NaN included
    *year = 0;
    *month = 1;
    *day = 1;
    return;
  }
  CivilFromDays(static_cast<int64_t>(std::floor(mjd)) - kMjdOf1970, year, month, day);
}

void MjdToDate(double mjd, int32_t* year, int32_t* month, int32_t* day) {
  // The table is searched only where it has an answer; before InitCalendarTables has run, and
  // outside 1900-2099, the arithmetic gives the same dates.
  if (TablesFilled() && mjd >= monthStarts[0] && mjd < kMjdOf2100) {
    TableDate(mjd, year, month, day);
    return;
  }
  CivilDateOfMjd(mjd, year, month, day);
}

void MjdToDateTime(double mjd, int32_t* year, int32_t* month, int32_t* day, int32_t* hour,
                   int32_t* minute, float* second) {
  MjdToDate(mjd, year, month, day);
  if (!std::isfinite(mjd) || !(std::fabs(mjd) < kMaxAbsMjd)) {
    *hour = 0;
    *minute = 0;
    *second = 0.0f;
    return;
  }
  // The day's 0h: DateToMjd of the date found wherever its truncating formula follows the
  // calendar (from 0000-03-01 on); earlier, DateToMjd can be a day off the calendar, which made
  // hours negative or beyond 24.
  const double dayStart = std::floor(mjd);
  const double t = (mjd - dayStart) * 24 * 60 * 60;
  int32_t h = static_cast<int32_t>(std::trunc(t / 3600));
  int32_t min = static_cast<int32_t>(std::trunc((t - 3600.0 * h) / 60));
  float sec = static_cast<float>(t - 3600.0 * h - 60.0 * min);
  const float whole = static_cast<float>(std::trunc(sec + 0.5));
  if (std::fabs(sec - whole) < 0.001f) sec = whole;

  // A second that rounds up to 60 belongs to the next minute; a stamp never reads ":60".
  if (sec >= 60.0f) {
    sec -= 60.0f;
    ++min;
  }
  if (min >= 60) {
    min -= 60;
    ++h;
  }
  if (h >= 24) {
    h -= 24;
    MjdToDate(dayStart + 1, year, month, day);
  }
  *hour = h;
  *minute = min;
  *second = sec;
}

int32_t DaysInMonth(int32_t year, int32_t month) {
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  switch (month) {
    case 2:
      return leap ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
      return 30;
    default:
      return 31;
  }
}

double DateToTtMjd(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                   float second) {
  const double mjd = DateToMjd(year, month, day, hour, minute, second);
  // No leap seconds are known before the oldest entry.
  double taiMinusUtc = 0.0;
  for (int i = 0; i < kLeapSecondCount; ++i) {
    if (!(LeapSecondTable.mjd[i] > mjd)) {
      taiMinusUtc = LeapSecondTable.taiMinusUtcSec[i];
      break;
    }
  }
  return mjd + (taiMinusUtc + 32.184) / 3600 / 24;
}

double LocalSiderealDeg(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                        float second, float lonDeg) {
  const double mjd0 = DateToMjd(year, month, day, 0, 0, 0.0f);
  const double t = (mjd0 + 2400000.5 - 2451545.0) / 36525;
  const double ut = minute / 60.0 + hour + static_cast<double>(second) / 3600;
  const double g =
      (ut * 1.0027379093 + 6.697374558 + t * 2400.051336 + t * 2.5862e-5 * t) / 24;
  const double fraction = g - std::trunc(g);
  double lst = fraction * 360 + lonDeg;
  if (lst > 360) lst -= 360;
  if (lst < 0) lst += 360;
  return lst;
}
