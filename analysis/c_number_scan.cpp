#include "analysis/c_number_scan.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/c_locale.h"

namespace {

bool IsScanSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipSpace(const char* p) {
  while (IsScanSpace(*p)) ++p;
  return p;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A plain decimal "[sign]digits[.digits][e[sign]digits]" whose digits fit in 2^53 and whose
// power of ten is at most 22: the quotient or product of two exact doubles is the correctly
// rounded double, and narrowing it gives the correctly rounded float unless it lies exactly
// half-way between two floats (then the library decides). False when the fast way cannot answer.
bool FastDecimalFloat(const char* p, float* out) {
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) return false;  // hexadecimal
  uint64_t mantissa = 0;
  int digits = 0;      // significant digits gathered, leading zeros not counted
  int exponent10 = 0;  // power of ten to apply to the mantissa
  bool any = false;
  for (; IsDigit(*p); ++p) {
    any = true;
    if (mantissa == 0 && *p == '0') continue;
    if (++digits > 19) return false;
    mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
  }
  if (*p == '.') {
    ++p;
    for (; IsDigit(*p); ++p) {
      any = true;
      --exponent10;
      if (mantissa == 0 && *p == '0') continue;
      if (++digits > 19) return false;
      mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
    }
  }
  if (!any) return false;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    bool negativeExponent = false;
    if (*q == '+' || *q == '-') negativeExponent = (*q++ == '-');
    if (IsDigit(*q)) {
      int e = 0;
      for (; IsDigit(*q); ++q) {
        if (e > 10000) return false;
        e = e * 10 + (*q - '0');
      }
      exponent10 += negativeExponent ? -e : e;
    }
  }
  if (mantissa > (uint64_t{1} << 53)) return false;
  double value = static_cast<double>(mantissa);
  if (mantissa != 0) {
    if (exponent10 < -22 || exponent10 > 22) return false;
    value = exponent10 < 0 ? value / kPowersOfTen[-exponent10] : value * kPowersOfTen[exponent10];
  }
  float narrowed = static_cast<float>(value);
  if (std::isfinite(narrowed) && mantissa != 0) {
    // Exactly half-way between two floats: a double with its 29 lowest mantissa bits 1000...0.
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    if ((bits & ((uint64_t{1} << 29) - 1)) == (uint64_t{1} << 28)) return false;
  }
  *out = negative ? -narrowed : narrowed;
  return true;
}

}  // namespace

bool ScanInt32(const char* text, int32_t* out) {
  const char* p = SkipSpace(text);
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  if (!IsDigit(*p)) return false;
  int64_t value = 0;
  for (; IsDigit(*p); ++p) {
    value = value * 10 + (*p - '0');
    if (value > int64_t{1} << 31) return false;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return false;
  *out = static_cast<int32_t>(value);
  return true;
}

bool ScanFloat(const char* text, float* out) {
  const char* p = SkipSpace(text);
  if (FastDecimalFloat(p, out)) return true;
  platform::ScopedCLocale cLocale;
  char* end = nullptr;
  float value = std::strtof(p, &end);
  // "inf", "nan" and numbers beyond the float range (1e999) give no position, angle or time
  // that anything downstream could use: they count as no number.
  if (end == p || !std::isfinite(value)) return false;
  *out = value;
  return true;
}

bool ScanUint32(const char* text, uint32_t* out) {
  const char* p = SkipSpace(text);
  if (*p == '+') ++p;
  if (!IsDigit(*p)) return false;
  uint64_t value = 0;
  for (; IsDigit(*p); ++p) {
    value = value * 10 + static_cast<uint64_t>(*p - '0');
    if (value > UINT32_MAX) return false;
  }
  *out = static_cast<uint32_t>(value);
  return true;
}
