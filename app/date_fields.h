#pragma once
// The calendar arithmetic of the Main page's date fields: a spin click walks the calendar
// through the fields' wrap and carry, after which both dates are made real days again; and the
// dates of mode "all", the span of the records read.

#include <cstdint>
#include <functional>

#include "params/app_params.h"

// What a date's day needs after a spin.
enum class DayFit {
  kValid,      // the day exists in its month
  kLastDay,    // past the month's end: the month's last day
  kNextMonth,  // the day itself was spun up past the month's end: day 1 of the next month
};

// For year, month, day as the fields hold them after a spin (month outside 1..12 counts 31
// days, as DaysInMonth does). daySpunUp: the spin was an up-click on this date's day field.
DayFit FitDay(std::int32_t year, std::int32_t month, std::int32_t day, bool daySpunUp);

// One date as three bound fields: their values and their indexes in the page's field array.
struct DateFields {
  std::int32_t* year;
  std::int32_t* month;
  std::int32_t* day;
  int yearField;
  int monthField;
  int dayField;
};

// A spin click on field `field` in `direction` (0 up, anything else down), then both dates
// fitted. stepField(i, direction) steps field i as its spin does and returns the field its wrap
// carries into, or -1; the carries are followed to the end. A date whose day is past its month's
// end then gets day 1 and its month stepped up once more (its own carry followed) when that day
// field was spun up, else the month's last day; each date's day field is shown afterwards
// (showField), changed or not.
void SpinDateFields(int field, int direction, const DateFields& first, const DateFields& second,
                    const std::function<int(int field, int direction)>& stepField,
                    const std::function<void(int field)>& showField);

// The dates of mode "all": from the UT day of the earliest record (minMjd) to the day after the
// latest one (maxMjd), so that the latest record lies before midnight of the end date. With no
// record read, minMjd and maxMjd hold their empty-store values and the end date is the day of
// maxMjd + 0.99999 (at start-up 1900-01-01 to 2099-01-01; after a read that found nothing
// 2099-01-01 to 1900-01-01).
void DataSpanDates(std::int32_t recordCount, double minMjd, double maxMjd, CalendarDay* first,
                   CalendarDay* end);
