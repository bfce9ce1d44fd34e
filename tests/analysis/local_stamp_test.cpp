#include "analysis/local_stamp.h"

#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "geo/calendar.h"

namespace {

class LocalStampTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitCalendarTables(); }
};

std::string Stamp(double mjd, int tz) {
  LocalStamp stamp{};
  if (!MakeLocalStamp(mjd, tz, &stamp)) return "refused";
  char text[16];
  FormatLocalStamp(stamp, text);
  return text;
}

TEST_F(LocalStampTest, RoundsToTheWholeSecondWithCarry) {
  struct Case {
    int y, mo, d, h, mi;
    float s;
    int tz;
    const char* stamp;
  };
  const Case kCases[] = {
      {2007, 1, 1, 20, 0, 0.0f, 32400, "20070102_050000"},   // tz 9 h: the next local day
      {2007, 1, 1, 20, 0, 12.4f, 0, "20070101_200012"},
      {2007, 1, 1, 20, 0, 12.51f, 0, "20070101_200013"},
      {2007, 1, 1, 20, 0, 59.6f, 0, "20070101_200100"},      // second 60 carried (was "...60")
      {2007, 1, 1, 20, 59, 59.7f, 0, "20070101_210000"},
      {2007, 1, 31, 23, 59, 59.7f, 0, "20070201_000000"},
      {2008, 2, 28, 23, 59, 59.6f, 0, "20080229_000000"},    // leap day
      {2007, 2, 28, 23, 59, 59.6f, 0, "20070301_000000"},
      {2007, 12, 31, 23, 59, 59.9f, 0, "20080101_000000"},
      {2007, 1, 1, 0, 0, 0.0f, -3600, "20061231_230000"},    // west of Greenwich
      {1900, 1, 1, 0, 0, 0.0f, 0, "19000101_000000"},
      {2099, 12, 31, 23, 59, 59.0f, 0, "20991231_235959"},
      {1900, 1, 1, 0, 0, 0.0f, -1, "refused"},               // before the calendar
      {2099, 12, 31, 23, 59, 59.6f, 0, "refused"},           // rounds into 2100
      {2099, 12, 31, 20, 0, 0.0f, 32400, "refused"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.y << "-" << c.mo << "-" << c.d << " " << c.h << ":"
                                    << c.mi << ":" << c.s << " tz " << c.tz);
    EXPECT_EQ(Stamp(DateToMjd(c.y, c.mo, c.d, c.h, c.mi, c.s), c.tz), c.stamp);
  }
}

TEST_F(LocalStampTest, RefusesTimesThatAreNotFinite) {
  EXPECT_EQ(Stamp(std::numeric_limits<double>::quiet_NaN(), 0), "refused");
  EXPECT_EQ(Stamp(std::numeric_limits<double>::infinity(), 0), "refused");
  EXPECT_EQ(Stamp(1e300, 0), "refused");
}

}  // namespace
