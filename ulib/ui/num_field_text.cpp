#include "ulib/ui/num_field_text.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/c_locale.h"

namespace numfield {
namespace {

// The first kReadChars characters, terminated, for the C parsers.
std::string ReadPart(std::string_view text) {
  return std::string(text.substr(0, kReadChars));
}

template <typename T>
Stepped<T> ApplyLimits(T value, T min, T max, const Limits& limits) {
  Stepped<T> result{value, -1};
  if (limits.limitMode == LimitNone) return result;
  if (result.value > max) {
    if (limits.limitMode == LimitClamp) {
      result.value = max;
    } else {
      result.value = min;
      if (limits.carryIndex >= 0) result.carry = limits.carryIndex;
    }
  }
  if (result.value < min) {
    if (limits.limitMode == LimitClamp) {
      result.value = min;
    } else {
      result.value = max;
      if (limits.carryIndex >= 0) result.carry = limits.carryIndex;
    }
  }
  return result;
}

}  // namespace

const char* DecimalFormat(double step, double value) {
  if (step >= 1) return "%.0f";
  if (step >= 0.1) return "%.1f";
  if (step >= 0.01) return "%.2f";
  if (step >= 0.0001) return "%.3f";
  if (step == 0) {
    if (value > 2) return "%.0f";
    if (value > 0.2) return "%.1f";
    if (value > 0.02) return "%.2f";
    if (value > 0.002) return "%.3f";
    if (value > 0.0002) return "%.4f";
    return "%.5f";
  }
  if (step < 0 && step > -3.1) return "%.3f";
  if (step < -3.1) return "%.4f";
  return "%.5f";
}

std::string FormatInt(std::int32_t value) {
  return platform::StringPrintfC("%d", static_cast<int>(value));
}

std::string FormatDecimal(float value, double step, bool whole) {
  const double v = value;
  return platform::StringPrintfC(whole ? "%.0f" : DecimalFormat(step, v), v);
}

std::size_t Utf8Prefix(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  std::size_t n = maxBytes;
  // Back off over continuation bytes so the cut falls before a character's first byte.
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return n;
}

std::int32_t ParseInt(std::string_view text) {
  const std::string part = ReadPart(text);
  const char* begin = part.c_str();
  char* end = nullptr;
  // Fifteen characters never overflow a long long; the int32 range is checked below.
  const long long v = std::strtoll(begin, &end, 10);
  if (end == begin) return 0;
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
    return 0;
  }
  return static_cast<std::int32_t>(v);
}

float ParseDecimal(std::string_view text) {
  const std::string part = ReadPart(text);
  if (part == "-") return -1e-8f;
  const char* begin = part.c_str();
  char* end = nullptr;
  const double d = platform::ParseDoubleC(begin, &end);
  if (end == begin) return 0.0f;
  if (!std::isfinite(d) || std::fabs(d) > FLT_MAX) return 0.0f;
  return static_cast<float>(d);
}

Stepped<std::int32_t> StepInt(std::int32_t v, double step, int direction, const Limits& limits) {
  const double x = std::trunc(direction == 0 ? v + step : v - step);
  std::int32_t nv;
  if (x >= 2147483647.0) {
    nv = std::numeric_limits<std::int32_t>::max();
  } else if (x <= -2147483648.0) {
    nv = std::numeric_limits<std::int32_t>::min();
  } else if (std::isnan(x)) {
    nv = v;  // a step that is no number moves nothing
  } else {
    nv = static_cast<std::int32_t>(x);
  }
  return ApplyLimits(nv, limits.min, limits.max, limits);
}

double DecimalAmount(double d, double step, double stepOverride, int direction) {
  if (stepOverride > 0) return stepOverride;
  if (step != 0) return step;
  const double b = direction == 0 ? -0.0005 : 0.0005;
  if (d > b + 2) return 1;
  if (d > b + 0.2) return 0.1;
  if (d > b + 0.02) return 0.01;
  if (d > b + 0.002) return 0.001;
  return 0.0001;
}

Stepped<float> StepDecimal(float d, double step, double stepOverride, int direction,
                           const Limits& limits) {
  const double s = DecimalAmount(d, step, stepOverride, direction);
  const double sum = direction == 0 ? d + s : d - s;
  // A float cannot hold more than FLT_MAX; a step past it stops there rather than at infinity.
  float e;
  if (sum > FLT_MAX) {
    e = FLT_MAX;
  } else if (sum < -FLT_MAX) {
    e = -FLT_MAX;
  } else {
    e = static_cast<float>(sum);
  }
  return ApplyLimits(e, static_cast<float>(limits.min), static_cast<float>(limits.max), limits);
}

}  // namespace numfield
