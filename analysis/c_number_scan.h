#pragma once
// The number scans of the clicks files, as "%d", "%f" and "%u" read them in the C locale:
// leading white space skipped, trailing characters ignored. Each returns false, leaving *out
// untouched, when the text holds no number at all (an empty field, a word).
//
// "%f" gives exactly the float that strtof gives; the common case of a plain decimal is
// converted without the C library, which is most of the time spent reading a file.

#include <cstdint>

bool ScanInt32(const char* text, int32_t* out);    // "%d"; a value beyond int32 does not scan
bool ScanFloat(const char* text, float* out);      // "%f" with exponents; inf, nan and values
                                                   // beyond the float range do not scan
bool ScanUint32(const char* text, uint32_t* out);  // "%u" of digits; a minus sign or 2^32 and
                                                   // above do not scan
