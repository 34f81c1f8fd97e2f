#pragma once
#include <cstddef>
#include <cstdint>

// Conversions between the text of a settings-file value and numbers. The profile function hands
// over at most four characters, but every conversion is defined for any NUL-terminated text.

// Integer values ("speed", "X-offset", "Y-offset"): leading white space, one optional sign, then
// decimal digits up to the first non-digit. Text without digits gives 0. Digits are accumulated
// in unsigned 32-bit arithmetic, so a number too long for 32 bits wraps modulo 2^32 instead of
// overflowing; every int32 written by FormatSettingInteger reads back unchanged.
int32_t ParseSettingInteger(const char* text);

// Floating-point values ("len"): leading white space, one optional sign, digits with an optional
// decimal point (".5" and "250." are numbers, "." is not), then an optional exponent made of one of
// e, E, d, D, an optional sign and at least one digit ("1e" is 1.0). Text without a number gives
// 0.0; there is no hexadecimal, infinity or not-a-number form. The result is correctly rounded and
// does not depend on the C locale.
double ParseSettingReal(const char* text);

// Narrows a double to the nearest single-precision value; a value beyond the single-precision range
// becomes infinity of the same sign (never an out-of-range conversion).
float NarrowToSingle(double value);

// Writes value as signed decimal text ("-" for negatives, no leading zeros, "0" for zero) followed
// by a NUL into buffer, which must hold at least settingIntegerTextSize characters. Returns the
// number of characters written before the NUL.
inline constexpr std::size_t settingIntegerTextSize = 12;
std::size_t FormatSettingInteger(int32_t value, char* buffer);
