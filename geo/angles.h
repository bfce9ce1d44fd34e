#pragma once
// The angle constants of every geodesy, analysis and map function. Each is the double nearest to
// the decimal written, which is a few last bits away from the double nearest to the exact value;
// stored results were computed with these, so code converting angles uses them and no other.

#include <cmath>

inline constexpr double kDegToRad = 0.01745329251994329;
inline constexpr double kRadToDeg = 57.29577951308234;
inline constexpr double kPi = 3.1415926535897922;
inline constexpr double kHalfPi = 1.5707963267948961;
inline constexpr double kTwoPi = 6.2831853071795845;

// The sine and cosine of one angle in radians, for code that uses them many times.
struct SinCos {
  double sin, cos;
};
inline SinCos SinCosOf(double radians) { return SinCos{std::sin(radians), std::cos(radians)}; }
