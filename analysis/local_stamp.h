#pragma once
// The local time stamp of a record: its UT time plus the time-zone offset, to the whole second.

#include <cstdint>

struct LocalStamp {
  int32_t year, month, day, hour, minute, second;
};

// The local date and time of a UT MJD shifted by tzSeconds, rounded to the nearest whole second
// (half a second rounds up) with the carry into minute, hour, day, month and year, so the second
// is never 60. False when the local time lies outside 1900-01-01 .. 2099-12-31 23:59:59 (or is
// not finite), which four-digit years and the calendar tables cannot hold.
bool MakeLocalStamp(double utMjd, int32_t tzSeconds, LocalStamp* stamp);

// "YYYYMMDD_hhmmss" and its NUL into text[16].
void FormatLocalStamp(const LocalStamp& stamp, char text[16]);
