#include "app/date_fields.h"

#include <cmath>

#include "geo/calendar.h"

DayFit FitDay(std::int32_t year, std::int32_t month, std::int32_t day, bool daySpunUp) {
  if (day <= DaysInMonth(year, month)) return DayFit::kValid;
  return daySpunUp ? DayFit::kNextMonth : DayFit::kLastDay;
}

namespace {

void StepWithCarries(int field, int direction,
                     const std::function<int(int, int)>& stepField) {
  int next = stepField(field, direction);
  while (next >= 0) next = stepField(next, direction);
}

void FitDate(const DateFields& date, int spunField, int direction,
             const std::function<int(int, int)>& stepField,
             const std::function<void(int)>& showField) {
  const bool daySpunUp = spunField == date.dayField && direction == 0;
  switch (FitDay(*date.year, *date.month, *date.day, daySpunUp)) {
    case DayFit::kValid:
      break;
    case DayFit::kLastDay:
      *date.day = DaysInMonth(*date.year, *date.month);
      break;
    case DayFit::kNextMonth:
      *date.day = 1;
      StepWithCarries(date.monthField, 0, stepField);
      break;
  }
  showField(date.dayField);
}

}  // namespace

void SpinDateFields(int field, int direction, const DateFields& first, const DateFields& second,
                    const std::function<int(int, int)>& stepField,
                    const std::function<void(int)>& showField) {
  StepWithCarries(field, direction, stepField);
  FitDate(first, field, direction, stepField, showField);
  FitDate(second, field, direction, stepField, showField);
}

void DataSpanDates(std::int32_t recordCount, double minMjd, double maxMjd, CalendarDay* first,
                   CalendarDay* end) {
  MjdToDate(minMjd, &first->year, &first->month, &first->day);
  // maxMjd + 0.99999 would stay on the latest record's own day when that record lies within
  // 0.864 s after midnight, and the selection (end date exclusive) would then drop it.
  const double endMjd = recordCount > 0 ? std::floor(maxMjd) + 1.0 : maxMjd + 0.99999;
  MjdToDate(endMjd, &end->year, &end->month, &end->day);
}
