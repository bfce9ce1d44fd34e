#pragma once
// Station locations travel in the merged clicks file to 5 decimal places only in a scrambled form,
// spread over three unsigned fields: a and b carry longitude and latitude as fixed-point values
// masked from a 32-bit linear congruential sequence, c is the record's scrambling number in plain.
// A reader needs nothing but the three fields. All arithmetic on 32-bit values wraps.
//
// The fixed-point values are signed 32-bit, so west longitudes and south latitudes travel too;
// the scale keeps every value from 0 to 360 degrees below 2^31, where signed and unsigned agree.

#include <cstdint>
#include <functional>

// The scrambling state: moved by every encoding and decoding, so the scrambling numbers a write
// draws depend on the clock and on what was read and written before.
extern uint32_t scrambleState;
extern uint32_t scrambleLow24;  // below 2^24

// Scale angle L of the fixed point, in degrees; reader and writer must use the same.
inline constexpr double kScrambleScaleAngleDeg = 360.0;
// Fixed-point units per degree: (L / 360 + 1) * 1e6 = 2e6, so 360 degrees is 7.2e8 < 2^31.
inline constexpr double kScrambleUnitsPerDeg = (kScrambleScaleAngleDeg / 360.0 + 1.0) * 1e6;
// Decoded locations are truncated toward zero to this many parts of a degree (5 decimals).
inline constexpr double kScrambleTruncation = 100000.0;

// next(x) = x * 1219873557 + 58213 (mod 2^32).
inline constexpr uint32_t kScrambleStepMultiplier = 1219873557u;
inline constexpr uint32_t kScrambleStepIncrement = 58213u;
// Seeding multipliers: start-up seed, per-file seed of the writer, per-record 24-bit value.
inline constexpr uint32_t kScrambleSeedM1 = 2891336453u;
inline constexpr uint32_t kScrambleSeedM2 = 1103515245u;
inline constexpr uint32_t kScrambleSeedM3 = 22695477u;

// The wall clock as the scrambling reads it: whole seconds since 1970 (low 32 bits) and the
// milliseconds of the current second.
struct ClockReading {
  uint32_t seconds = 0;
  uint32_t milliseconds = 0;
};
using ScrambleClock = std::function<ClockReading()>;

// The clock in use: the system clock unless a test installed another.
ClockReading ReadScrambleClock();
// Installs a clock (an empty one restores the system clock); returns the previous one.
ScrambleClock InstallScrambleClock(ScrambleClock clock);

inline constexpr uint32_t ScrambleStep(uint32_t x) {
  return x * kScrambleStepMultiplier + kScrambleStepIncrement;
}
inline constexpr uint32_t Low24(uint32_t x) { return x & 0xFFFFFFu; }

// Seeds scrambleState and scrambleLow24 from the clock; once at start-up.
void SeedScrambler();

// The masks of one scrambling number c; forming them sets scrambleState.
struct ScrambleMasks {
  uint32_t lng;     // low24(e)
  uint32_t lat;     // low24(f) * c
  uint32_t common;  // c * c
};
ScrambleMasks MakeScrambleMasks(uint32_t c);
// The same without touching scrambleState: *stateAfter gets what forming them sets it to.
ScrambleMasks ScrambleMasksApart(uint32_t c, uint32_t* stateAfter);

// The writer's per-file seed from the clock reading at the start of a write.
uint32_t WriterSeedFromClock(ClockReading now);
// Draws the next record's scrambling number: sets scrambleLow24 and advances *writerSeed.
uint32_t NextScramblingNumber(uint32_t* writerSeed);

// Encodes a location (degrees; |value| below 1073 degrees) with scrambling number c into a, b.
// Moves scrambleState exactly as decoding with the same c does.
void ScrambleLocation(double lngDeg, double latDeg, uint32_t c, uint32_t* a, uint32_t* b);

// Decodes a, b with scrambling number c and scale angle L (degrees) into a longitude and
// latitude in degrees, truncated toward zero to 5 decimals: never farther from zero than the
// value encoded, and less than 0.00001 + 1/S degree nearer to it.
void UnscrambleLocation(uint32_t a, uint32_t b, double scaleAngleDeg, uint32_t c, double* lngDeg,
                        double* latDeg);
// The same without touching scrambleState (for any thread): *stateAfter gets what decoding
// sets it to.
void UnscrambleLocationApart(uint32_t a, uint32_t b, double scaleAngleDeg, uint32_t c,
                             double* lngDeg, double* latDeg, uint32_t* stateAfter);
