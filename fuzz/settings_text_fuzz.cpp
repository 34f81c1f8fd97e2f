// libFuzzer target for the text rules of the settings file. Built and run by
// scripts/fuzz-settings.sh, never by the main build.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "settings/settings_text.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

bool SameDouble(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Texts made only of these characters mean the same to the floating-point rule and to strtod in
// the C locale (whose other forms, hexadecimal, infinity and not-a-number, need other letters).
bool InStrtodCommonGrammar(const std::string& text) {
    return text.find_first_not_of("0123456789.+-eE \t\n\v\f\r") == std::string::npos;
}

void CheckIntegerRule(const std::string& text) {
    const int32_t value = ParseSettingInteger(text.c_str());
    char written[settingIntegerTextSize];
    const std::size_t length = FormatSettingInteger(value, written);
    Check(length == std::strlen(written) && length < settingIntegerTextSize, "written length");
    Check(ParseSettingInteger(written) == value, "integer round trip of a parsed value");
}

void CheckRealRule(const std::string& text) {
    const double value = ParseSettingReal(text.c_str());
    Check(!std::isnan(value), "no not-a-number");

    // The exponent letters d and D mean e.
    std::string withE = text;
    for (char& c : withE) {
        if (c == 'd' || c == 'D') {
            c = 'e';
        }
    }
    Check(SameDouble(ParseSettingReal(withE.c_str()), value), "d exponent equals e exponent");
    if (InStrtodCommonGrammar(withE)) {
        Check(SameDouble(std::strtod(withE.c_str(), nullptr), value), "agrees with strtod");
    }

    const float margin = NarrowToSingle(value);
    if (std::isinf(margin)) {
        Check(std::fabs(value) >= 0x1.ffffffp+127 && std::signbit(margin) == std::signbit(value),
              "infinity only beyond the float range, with the sign kept");
    } else {
        Check(std::fabs(value) < 0x1.ffffffp+127 && margin == static_cast<float>(value), "nearest float");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // The rules read NUL-terminated text, so the input ends at its first NUL.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string untilNul = text.c_str();
    CheckIntegerRule(untilNul);
    CheckRealRule(untilNul);
    // The four characters the profile function hands over.
    CheckIntegerRule(untilNul.substr(0, 4));
    CheckRealRule(untilNul.substr(0, 4));

    // Every int32 written reads back unchanged.
    if (size >= sizeof(int32_t)) {
        int32_t value;
        std::memcpy(&value, data, sizeof value);
        char written[settingIntegerTextSize];
        FormatSettingInteger(value, written);
        Check(ParseSettingInteger(written) == value, "integer round trip of a written value");
    }
    return 0;
}
