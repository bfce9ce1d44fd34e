#include "ulib/ui/cell_parse.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/c_locale.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Sign and magnitude of a leading decimal integer; the magnitude saturates just above 2^32,
// which is outside every integer cell's range.
struct DecimalPrefix {
  bool negative = false;
  std::uint64_t magnitude = 0;
};

std::optional<DecimalPrefix> ReadDecimal(const char* text) {
  if (!text) return std::nullopt;
  while (IsBlank(*text)) ++text;
  DecimalPrefix number;
  if (*text == '+' || *text == '-') number.negative = *text++ == '-';
  if (*text < '0' || *text > '9') return std::nullopt;
  constexpr std::uint64_t kSaturated = std::uint64_t{1} << 33;
  for (; *text >= '0' && *text <= '9'; ++text) {
    number.magnitude = number.magnitude * 10 + static_cast<std::uint64_t>(*text - '0');
    if (number.magnitude > kSaturated) number.magnitude = kSaturated;
  }
  return number;
}

}  // namespace

std::optional<std::int32_t> ParseIntPrefix(const char* text) {
  const std::optional<DecimalPrefix> number = ReadDecimal(text);
  if (!number) return std::nullopt;
  const std::int64_t value = number->negative ? -static_cast<std::int64_t>(number->magnitude)
                                              : static_cast<std::int64_t>(number->magnitude);
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

std::optional<std::uint32_t> ParseUnsignedPrefix(const char* text) {
  const std::optional<DecimalPrefix> number = ReadDecimal(text);
  if (!number) return std::nullopt;
  if (number->negative && number->magnitude != 0) return std::nullopt;
  if (number->magnitude > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(number->magnitude);
}

std::optional<float> ParseFloatPrefix(const char* text) {
  if (!text) return std::nullopt;
  char* end = nullptr;
  float value;
  {
    platform::ScopedCLocale c;
    value = std::strtof(text, &end);
  }
  if (end == text || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<double> ParseDoublePrefix(const char* text) {
  if (!text) return std::nullopt;
  char* end = nullptr;
  const double value = platform::ParseDoubleC(text, &end);
  if (end == text || !std::isfinite(value)) return std::nullopt;
  return value;
}
