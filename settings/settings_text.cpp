#include "settings/settings_text.h"

#include <cstdlib>
#include <limits>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

const char* SkipBlanks(const char* p) {
    while (IsBlank(*p)) {
        ++p;
    }
    return p;
}

// Steps over one optional sign; true when it was a minus.
bool TakeSign(const char*& p) {
    if (*p == '+' || *p == '-') {
        return *p++ == '-';
    }
    return false;
}

// Correct rounding to double never needs more than 768 significant decimal digits; the digits beyond
// the kept ones are stood for by one trailing nonzero digit, which rounds the same way.
constexpr std::int64_t keptDigits = 800;
// An explicit exponent is accumulated only up to here; anything larger is far beyond double range.
constexpr std::int64_t exponentCap = 1'000'000'000'000;

}  // namespace

int32_t ParseSettingInteger(const char* text) {
    const char* p = SkipBlanks(text);
    const bool negative = TakeSign(p);
    uint32_t value = 0;
    for (; IsDigit(*p); ++p) {
        value = value * 10u + static_cast<uint32_t>(*p - '0');
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<int32_t>(value);
}

double ParseSettingReal(const char* text) {
    const char* p = SkipBlanks(text);
    const bool negative = TakeSign(p);

    const char* integerDigits = p;
    while (IsDigit(*p)) {
        ++p;
    }
    const std::int64_t integerCount = p - integerDigits;
    const char* fractionDigits = p;
    std::int64_t fractionCount = 0;
    if (*p == '.' && (integerCount > 0 || IsDigit(p[1]))) {
        fractionDigits = ++p;
        while (IsDigit(*p)) {
            ++p;
        }
        fractionCount = p - fractionDigits;
    }
    if (integerCount + fractionCount == 0) {
        return 0.0;
    }

    std::int64_t exponent = 0;
    if (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D') {
        const char* q = p + 1;
        const bool exponentNegative = TakeSign(q);
        for (; IsDigit(*q); ++q) {
            if (exponent < exponentCap) {
                exponent = exponent * 10 + (*q - '0');
            }
        }
        if (exponentNegative) {
            exponent = -exponent;
        }
    }

    // The mantissa digits, the point left out, indexed from 0 to total - 1.
    const std::int64_t total = integerCount + fractionCount;
    auto digitAt = [&](std::int64_t i) {
        return i < integerCount ? integerDigits[i] : fractionDigits[i - integerCount];
    };
    std::int64_t first = 0;
    while (first < total && digitAt(first) == '0') {
        ++first;
    }
    if (first == total) {
        return negative ? -0.0 : 0.0;
    }
    std::int64_t last = total - 1;
    while (digitAt(last) == '0') {
        --last;
    }

    // value = significant digits, read as an integer, times 10^scale.
    std::int64_t count = last - first + 1;
    std::int64_t scale = exponent - fractionCount + (total - 1 - last);
    char canonical[keptDigits + 32];
    std::size_t length = 0;
    for (std::int64_t i = first; i < first + count && i < first + keptDigits; ++i) {
        canonical[length++] = digitAt(i);
    }
    if (count > keptDigits) {
        canonical[length++] = '1';
        scale += count - keptDigits - 1;
        count = keptDigits + 1;
    }

    // The value lies in [10^(count - 1 + scale), 10^(count + scale)).
    const double infinity = std::numeric_limits<double>::infinity();
    if (count - 1 + scale > 310) {
        return negative ? -infinity : infinity;
    }
    if (count + scale < -330) {
        return negative ? -0.0 : 0.0;
    }

    // Digits and an exponent only, no decimal point: strtod reads this alike in every locale.
    canonical[length++] = 'e';
    length += FormatSettingInteger(static_cast<int32_t>(scale), canonical + length);
    const double magnitude = std::strtod(canonical, nullptr);
    return negative ? -magnitude : magnitude;
}

float NarrowToSingle(double value) {
    // Halfway between the largest float and 2^128: from here on the nearest float is infinity.
    constexpr double overflowBoundary = 0x1.ffffffp+127;
    if (value != value) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    if (value >= overflowBoundary) {
        return std::numeric_limits<float>::infinity();
    }
    if (value <= -overflowBoundary) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

std::size_t FormatSettingInteger(int32_t value, char* buffer) {
    // The magnitude in unsigned arithmetic, so that INT32_MIN has one too.
    uint32_t magnitude = static_cast<uint32_t>(value);
    if (value < 0) {
        magnitude = 0u - magnitude;
    }
    char reversed[10];
    std::size_t count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0);

    std::size_t length = 0;
    if (value < 0) {
        buffer[length++] = '-';
    }
    while (count > 0) {
        buffer[length++] = reversed[--count];
    }
    buffer[length] = '\0';
    return length;
}
