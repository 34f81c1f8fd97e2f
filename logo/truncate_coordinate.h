#pragma once
#include <cstdint>

// A coordinate handed to a drawing operation: truncated toward zero to a 32-bit integer. Values
// that do not fit, and NaN, give INT32_MIN, which is what the x86 conversion instruction gives.
inline int32_t TruncateCoordinate(double value) {
    if (value > -2147483649.0 && value < 2147483648.0) return static_cast<int32_t>(value);
    return INT32_MIN;
}
