#include "analysis/scrambler.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

// Restores the system clock and the scrambling state after each test.
class ScramblerTest : public ::testing::Test {
 protected:
  void SetUp() override { savedState_ = scrambleState; }
  void TearDown() override {
    InstallScrambleClock(nullptr);
    scrambleState = savedState_;
  }
  uint32_t savedState_ = 0;
};

struct LocationCase {
  double lng, lat;
};
constexpr LocationCase kLocations[] = {
    {135.123456, 34.987654}, {0.0, 0.0},          {359.99999, 89.99999},
    {-0.00001, -0.00001},    {-122.419416, 37.7749}, {-179.999999, -89.999999},
    {18.4241, -33.9249},     {-58.3816, -34.6037},   {139.6917, 35.6895},
    {180.0, 90.0},           {12.5, -0.5},           {-70.00001, 45.00001},
};

TEST_F(ScramblerTest, EncodedLocationsDecodeToFiveDecimalsTowardZero) {
  const double tolerance = 1e-5 + 1.0 / kScrambleUnitsPerDeg + 1e-9;
  const uint32_t numbers[] = {0u, 1u, 12345u, 0x80000000u, 0xFFFFFFFFu, 2654435761u};
  for (const LocationCase& loc : kLocations) {
    for (uint32_t c : numbers) {
      SCOPED_TRACE(testing::Message() << loc.lng << ", " << loc.lat << " c=" << c);
      uint32_t a = 0, b = 0;
      ScrambleLocation(loc.lng, loc.lat, c, &a, &b);
      double lng = 0, lat = 0;
      UnscrambleLocation(a, b, kScrambleScaleAngleDeg, c, &lng, &lat);
      // Same sign (or zero), never farther from zero, less than 1e-5 + 1/S nearer to it.
      EXPECT_LE(std::fabs(lng), std::fabs(loc.lng) + 1e-12);
      EXPECT_LE(std::fabs(lat), std::fabs(loc.lat) + 1e-12);
      EXPECT_NEAR(lng, loc.lng, tolerance);
      EXPECT_NEAR(lat, loc.lat, tolerance);
      EXPECT_GE(lng * loc.lng, 0.0);
      EXPECT_GE(lat * loc.lat, 0.0);
      EXPECT_NEAR(lng * 1e5, std::round(lng * 1e5), 1e-6) << "more than 5 decimals";
      EXPECT_NEAR(lat * 1e5, std::round(lat * 1e5), 1e-6) << "more than 5 decimals";
    }
  }
}

TEST_F(ScramblerTest, PositiveFixedPointValuesStayBelowTheSignBit) {
  // A file whose values were written as unsigned decodes the same when read as signed.
  EXPECT_LT(360.0 * kScrambleUnitsPerDeg, 2147483648.0);
  uint32_t a = 0, b = 0;
  ScrambleLocation(359.99999, 90.0, 777u, &a, &b);
  ScrambleMasks masks = MakeScrambleMasks(777u);
  EXPECT_EQ(a ^ masks.lng ^ masks.common, 719999980u);
  EXPECT_EQ(b ^ masks.lat ^ masks.common, 180000000u);
}

TEST_F(ScramblerTest, DecodingMovesTheStateAsEncodingDoes) {
  const uint32_t c = 987654321u;
  uint32_t a = 0, b = 0;
  scrambleState = 1;
  ScrambleLocation(10.0, 20.0, c, &a, &b);
  uint32_t afterEncoding = scrambleState;
  scrambleState = 2;
  double lng = 0, lat = 0;
  UnscrambleLocation(a, b, kScrambleScaleAngleDeg, c, &lng, &lat);
  EXPECT_EQ(scrambleState, afterEncoding);
  // c stepped 13 times.
  uint32_t x = c;
  for (int i = 0; i < 13; ++i) x = x * 1219873557u + 58213u;
  EXPECT_EQ(scrambleState, x);
}

TEST_F(ScramblerTest, SeedingAndDrawingFollowTheInstalledClock) {
  InstallScrambleClock([] { return ClockReading{1700000000u, 123u}; });
  SeedScrambler();
  uint32_t x = 1700000000u * 123u * kScrambleSeedM1;
  for (int i = 0; i < 12; ++i) x = ScrambleStep(x);
  EXPECT_EQ(scrambleState, x);
  EXPECT_EQ(scrambleLow24, x & 0xFFFFFFu);

  uint32_t seed = WriterSeedFromClock(ReadScrambleClock());
  EXPECT_EQ(seed, 1700000000u * 123u * 123u * kScrambleSeedM2);
  uint32_t expectedLow24 = (58213u - scrambleState * kScrambleSeedM3) & 0xFFFFFFu;
  uint32_t expectedSeed = seed * seed + 17u;
  uint32_t c = NextScramblingNumber(&seed);
  EXPECT_EQ(scrambleLow24, expectedLow24);
  EXPECT_EQ(seed, expectedSeed);
  EXPECT_EQ(c, expectedSeed * expectedLow24);

  // The same clock gives the same sequence again.
  SeedScrambler();
  EXPECT_EQ(scrambleState, x);
}

}  // namespace
