#pragma once
// What a numeric field shows, how it reads a typed text back and how a spin click moves its
// value, as plain functions over plain values, so the rules can be checked without widgets.
// Numbers are written and read in the C locale whatever the user's locale is.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Limit modes of a field.
inline constexpr std::int32_t LimitNone = 0;
inline constexpr std::int32_t LimitClamp = 1;
inline constexpr std::int32_t LimitWrap = 2;  // any other non-zero value wraps too

namespace numfield {

// A field reads at most this many characters of its edit box (a text field copies this many
// and a terminator into its buffer).
inline constexpr std::size_t kReadChars = 15;
// A text field shows at most this many characters of its buffer.
inline constexpr std::size_t kShowChars = 1023;

// The printf format of a decimal field: by its step, or by the value itself when the step is 0.
// Steps from 0.0001 up to 0.01 all show three decimals; a negative step above -3.1 shows three,
// below -3.1 four; steps between 0 and 0.0001, and exactly -3.1, show five.
const char* DecimalFormat(double step, double value);

std::string FormatInt(std::int32_t value);
// A decimal field's text; whole = true for the kind shown without decimals ("%.0f").
std::string FormatDecimal(float value, double step, bool whole);

// The leading bytes of text that make at most maxBytes without cutting a UTF-8 character.
std::size_t Utf8Prefix(std::string_view text, std::size_t maxBytes);

// An integer field's text (its first kReadChars characters) as a value: the signed decimal
// number it begins with (leading blanks skipped, anything after the digits ignored). A text that
// begins with no number, or one past the int32 range, reads as 0.
std::int32_t ParseInt(std::string_view text);
// A decimal field's text (its first kReadChars characters) as a value: a lone "-" is -1e-8 (the
// user has begun a negative number), otherwise the decimal number the text begins with. No
// number, an infinity or NaN, or a number past the float range reads as 0.
float ParseDecimal(std::string_view text);

// The limits of a field: LimitNone (0) none, LimitClamp (1) clamps, any other mode wraps (past
// max to min, past min to max) and reports carryIndex when that is 0 or more.
struct Limits {
  std::int32_t min;
  std::int32_t max;
  std::int32_t limitMode;
  std::int32_t carryIndex;
};

template <typename T>
struct Stepped {
  T value;
  int carry;  // the field to step next, or -1
};

// One spin click on an integer field: trunc(v + step) up (direction 0), trunc(v - step) down
// (any other direction), held inside the int32 range, then the limits.
Stepped<std::int32_t> StepInt(std::int32_t v, double step, int direction, const Limits& limits);

// The amount of one click on a decimal field at value d: stepOverride when above 0, else step
// when non-zero, else by the value (1 above 2, 0.1 above 0.2, 0.01 above 0.02, 0.001 above
// 0.002, else 0.0001) with the bounds moved by 0.0005 downwards going up and upwards going down,
// so that at exactly 2 going up adds 1 and going down takes 0.1.
double DecimalAmount(double d, double step, double stepOverride, int direction);

// One spin click on a decimal field: d plus or minus the amount, as a float, then the limits
// (min and max as floats).
Stepped<float> StepDecimal(float d, double step, double stepOverride, int direction,
                           const Limits& limits);

}  // namespace numfield
