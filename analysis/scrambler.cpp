#include "analysis/scrambler.h"

#include <cmath>
#include <ctime>
#include <utility>

uint32_t scrambleState = 0;
uint32_t scrambleLow24 = 0;

namespace {

ClockReading SystemClock() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return ClockReading{static_cast<uint32_t>(now.tv_sec),
                      static_cast<uint32_t>(now.tv_nsec / 1000000)};
}

ScrambleClock& InstalledClock() {
  static ScrambleClock clock;
  return clock;
}

// The fixed-point value of an angle: the product truncated toward zero, its low 32 bits.
// Values beyond the 64-bit range (which no location reaches) give 0 rather than undefined
// behaviour; the reader then finds the decoded location disagreeing with the clear one.
uint32_t FixedPoint(double deg) {
  double units = std::trunc(deg * kScrambleUnitsPerDeg);
  if (!(std::fabs(units) < 9.2e18)) return 0;
  return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(units)));
}

// Decoded fixed point back to degrees, truncated toward zero to 5 decimals.
double FromFixedPoint(uint32_t value, double unitsPerDeg) {
  double raw = static_cast<double>(static_cast<int32_t>(value)) / unitsPerDeg;
  double scaled = raw * kScrambleTruncation;
  int32_t truncated = std::fabs(scaled) < 2147483647.0 ? static_cast<int32_t>(scaled) : 0;
  return raw - (raw - truncated / kScrambleTruncation);
}

}  // namespace

ClockReading ReadScrambleClock() {
  const ScrambleClock& clock = InstalledClock();
  return clock ? clock() : SystemClock();
}

ScrambleClock InstallScrambleClock(ScrambleClock clock) {
  return std::exchange(InstalledClock(), std::move(clock));
}

void SeedScrambler() {
  ClockReading now = ReadScrambleClock();
  uint32_t x = now.seconds * now.milliseconds * kScrambleSeedM1;
  for (int i = 0; i < 12; ++i) x = ScrambleStep(x);
  scrambleState = x;
  scrambleLow24 = Low24(x);
}

ScrambleMasks ScrambleMasksApart(uint32_t c, uint32_t* stateAfter) {
  uint32_t d = c;
  for (int i = 0; i < 11; ++i) d = ScrambleStep(d);
  uint32_t e = ScrambleStep(d);
  uint32_t f = ScrambleStep(e);
  *stateAfter = f;
  return ScrambleMasks{Low24(e), Low24(f) * c, c * c};
}

ScrambleMasks MakeScrambleMasks(uint32_t c) { return ScrambleMasksApart(c, &scrambleState); }

uint32_t WriterSeedFromClock(ClockReading now) {
  return now.seconds * now.milliseconds * now.milliseconds * kScrambleSeedM2;
}

uint32_t NextScramblingNumber(uint32_t* writerSeed) {
  scrambleLow24 = Low24(58213u - scrambleState * kScrambleSeedM3);
  *writerSeed = *writerSeed * *writerSeed + 17u;
  return *writerSeed * scrambleLow24;
}

void ScrambleLocation(double lngDeg, double latDeg, uint32_t c, uint32_t* a, uint32_t* b) {
  ScrambleMasks masks = MakeScrambleMasks(c);
  *a = FixedPoint(lngDeg) ^ masks.lng ^ masks.common;
  *b = FixedPoint(latDeg) ^ masks.lat ^ masks.common;
}

void UnscrambleLocation(uint32_t a, uint32_t b, double scaleAngleDeg, uint32_t c, double* lngDeg,
                        double* latDeg) {
  UnscrambleLocationApart(a, b, scaleAngleDeg, c, lngDeg, latDeg, &scrambleState);
}

void UnscrambleLocationApart(uint32_t a, uint32_t b, double scaleAngleDeg, uint32_t c,
                             double* lngDeg, double* latDeg, uint32_t* stateAfter) {
  ScrambleMasks masks = ScrambleMasksApart(c, stateAfter);
  double unitsPerDeg = (scaleAngleDeg / 360.0 + 1.0) * 1e6;
  *lngDeg = FromFixedPoint(masks.lng ^ masks.common ^ a, unitsPerDeg);
  *latDeg = FromFixedPoint(masks.lat ^ masks.common ^ b, unitsPerDeg);
}
