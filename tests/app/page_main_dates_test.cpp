// The calendar arithmetic of the Main page's date fields: a spin walks the calendar through the
// fields' wrap and carry and leaves real days; mode "all" spans the records read.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/date_fields.h"
#include "app/main_page_fields.h"
#include "geo/calendar.h"

namespace {

// The six date fields as plain values, stepped by their descriptors' limits as a spin steps them
// (integer fields: one step, then clamp, or wrap with the descriptor's carry).
struct Dates {
  std::int32_t v[6];
  std::vector<int> shown;

  int Step(int field, int direction) {
    if (field >= 6) return -1;  // the thresholds hold no date
    const NumFieldDescriptor& d = mainFields[field];
    std::int32_t value = v[field] + (direction == 0 ? 1 : -1) * static_cast<std::int32_t>(d.step);
    int carry = -1;
    if (value > d.max) {
      value = d.limitMode == LimitClamp ? d.max : d.min;
      if (d.limitMode != LimitClamp) carry = d.carryIndex;
    }
    if (value < d.min) {
      value = d.limitMode == LimitClamp ? d.min : d.max;
      if (d.limitMode != LimitClamp) carry = d.carryIndex;
    }
    v[field] = value;
    return carry;
  }

  void Spin(int field, int direction) {
    SpinDateFields(
        field, direction, DateFields{&v[0], &v[1], &v[2], kFieldY1, kFieldM1, kFieldD1},
        DateFields{&v[3], &v[4], &v[5], kFieldY2, kFieldM2, kFieldD2},
        [this](int k, int dir) { return Step(k, dir); }, [this](int k) { shown.push_back(k); });
  }
};

class DateFieldsTest : public ::testing::Test {
 protected:
  void SetUp() override { InitCalendarTables(); }
};

TEST_F(DateFieldsTest, SpinsWalkTheCalendarAndLeaveRealDays) {
  constexpr int kUp = 0;
  constexpr int kDown = 1;
  struct Case {
    const char* what;
    std::int32_t before[6];
    int field;
    int direction;
    std::int32_t after[6];
  };
  const Case kCases[] = {
      // The examples the page is built to.
      {"day up past February's end", {2007, 2, 28, 2007, 6, 15}, kFieldD1, kUp,
       {2007, 3, 1, 2007, 6, 15}},
      {"day up past January's end carries", {2007, 1, 31, 2007, 6, 15}, kFieldD1, kUp,
       {2007, 2, 1, 2007, 6, 15}},
      {"day down from the 1st lands on February's last", {2007, 3, 1, 2007, 6, 15}, kFieldD1,
       kDown, {2007, 2, 28, 2007, 6, 15}},
      {"month up pulls the 31st back", {2007, 1, 31, 2007, 6, 15}, kFieldM1, kUp,
       {2007, 2, 28, 2007, 6, 15}},
      {"day up on New Year's Eve", {2007, 12, 31, 2007, 6, 15}, kFieldD1, kUp,
       {2008, 1, 1, 2007, 6, 15}},
      // Leap years, the other direction and the second date.
      {"leap day exists", {2008, 2, 28, 2009, 1, 1}, kFieldD1, kUp, {2008, 2, 29, 2009, 1, 1}},
      {"day up past the leap day", {2008, 2, 29, 2009, 1, 1}, kFieldD1, kUp,
       {2008, 3, 1, 2009, 1, 1}},
      {"year down from a leap day", {2008, 2, 29, 2009, 1, 1}, kFieldY1, kDown,
       {2007, 2, 28, 2009, 1, 1}},
      {"day down on New Year's Day", {2007, 1, 1, 2009, 1, 1}, kFieldD1, kDown,
       {2006, 12, 31, 2009, 1, 1}},
      {"month down in January", {2007, 1, 15, 2009, 1, 1}, kFieldM1, kDown,
       {2006, 12, 15, 2009, 1, 1}},
      {"the last year only clamps", {3000, 12, 31, 2009, 1, 1}, kFieldD1, kUp,
       {3000, 1, 1, 2009, 1, 1}},
      {"the second date's day up", {2007, 1, 1, 2007, 4, 30}, kFieldD2, kUp,
       {2007, 1, 1, 2007, 5, 1}},
      {"the second date's day down", {2007, 1, 1, 2007, 5, 1}, kFieldD2, kDown,
       {2007, 1, 1, 2007, 4, 30}},
      // Both dates are fitted after any spin; only the spun day rolls on, the others clamp.
      {"a typed 30th of February clamps when the other date's day is spun",
       {2007, 2, 30, 2007, 2, 30}, kFieldD2, kUp, {2007, 2, 28, 2007, 3, 1}},
      {"a typed 31st clamps when a threshold is spun", {2007, 4, 31, 2007, 9, 31}, kFieldGD, kUp,
       {2007, 4, 30, 2007, 9, 30}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    Dates dates{};
    std::copy(std::begin(c.before), std::end(c.before), dates.v);
    dates.Spin(c.field, c.direction);
    EXPECT_EQ(std::vector<std::int32_t>(dates.v, dates.v + 6),
              std::vector<std::int32_t>(c.after, c.after + 6));
    // Both day fields show their values afterwards, changed or not.
    EXPECT_EQ(dates.shown, (std::vector<int>{kFieldD1, kFieldD2}));
  }
}

TEST_F(DateFieldsTest, FitDayTellsWhatTheDayNeeds) {
  struct Case {
    std::int32_t y, m, d;
    bool daySpunUp;
    DayFit fit;
  };
  const Case kCases[] = {
      {2007, 2, 28, true, DayFit::kValid},      {2007, 2, 29, true, DayFit::kNextMonth},
      {2007, 2, 29, false, DayFit::kLastDay},   {2008, 2, 29, true, DayFit::kValid},
      {2007, 4, 31, false, DayFit::kLastDay},   {2007, 12, 31, false, DayFit::kValid},
      // A typed month outside 1..12 counts 31 days, as DaysInMonth does.
      {2007, 13, 31, false, DayFit::kValid},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.y << "-" << c.m << "-" << c.d);
    EXPECT_EQ(FitDay(c.y, c.m, c.d, c.daySpunUp), c.fit);
  }
}

TEST_F(DateFieldsTest, ModeAllSpansTheRecordsUpToTheDayAfterTheLatest) {
  struct Case {
    const char* what;
    std::int32_t recordCount;
    double minMjd, maxMjd;
    CalendarDay first, end;
  };
  const double kStartUpMin = 15020.0;  // 1900-01-01, before any read
  const double kStartUpMax = 87704.0;  // 2099-01-01
  const Case kCases[] = {
      {"before any read", 0, kStartUpMin, kStartUpMax, {1900, 1, 1}, {2099, 1, 1}},
      {"a read that found nothing", 0, DateToMjd(2099, 1, 1, 0, 0, 0),
       DateToMjd(1900, 1, 1, 0, 0, 0), {2099, 1, 1}, {1900, 1, 1}},
      // Before, the end date was the day of maxMjd + 0.99999: 2007-03-10, and the selection
      // (end date exclusive) dropped the latest record.
      {"latest record half a second after midnight", 1, DateToMjd(2007, 3, 10, 0, 0, 0.5f),
       DateToMjd(2007, 3, 10, 0, 0, 0.5f), {2007, 3, 10}, {2007, 3, 11}},
      {"latest record at midnight", 2, DateToMjd(2007, 3, 8, 12, 0, 0),
       DateToMjd(2007, 3, 10, 0, 0, 0), {2007, 3, 8}, {2007, 3, 11}},
      {"latest record just before the year ends", 3, DateToMjd(2007, 1, 5, 1, 2, 3),
       DateToMjd(2007, 12, 31, 23, 59, 59.9f), {2007, 1, 5}, {2008, 1, 1}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CalendarDay first{}, end{};
    DataSpanDates(c.recordCount, c.minMjd, c.maxMjd, &first, &end);
    EXPECT_EQ((std::vector<int>{first.year, first.month, first.day}),
              (std::vector<int>{c.first.year, c.first.month, c.first.day}));
    EXPECT_EQ((std::vector<int>{end.year, end.month, end.day}),
              (std::vector<int>{c.end.year, c.end.month, c.end.day}));
    // Every record lies before midnight of the end date, as the selection needs.
    if (c.recordCount > 0) {
      EXPECT_LT(c.maxMjd, DateToMjd(end.year, end.month, end.day, 0, 0, 0));
    }
  }
}

}  // namespace
