#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "settings/settings_text.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr float infF = std::numeric_limits<float>::infinity();

struct IntegerCase {
    const char* text;
    int32_t expected;
};

TEST(SettingsText, IntegerRule) {
    const IntegerCase cases[] = {
        // Texts as the profile function hands them over (at most 4 characters).
        {"4", 4}, {"50", 50}, {"150", 150}, {"1234", 1234}, {"9999", 9999},
        {"-20", -20}, {"-100", -100}, {"-999", -999}, {"+5", 5}, {" -0", 0},
        {"", 0}, {"-", 0}, {"+", 0}, {"abc", 0}, {"7abc", 7}, {"1.9", 1},
        {"  12", 12}, {"--5", 0}, {"+-5", 0}, {"- 5", 0}, {"0x10", 0},
        // Longer texts: every white-space kind, and numbers beyond 32 bits wrap modulo 2^32.
        {" \t\n\v\f\r9", 9}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
        {"2147483648", INT32_MIN}, {"4294967296", 0}, {"-4294967297", -1},
        {"99999999999999999999", 1661992959},
    };
    for (const IntegerCase& c : cases) {
        EXPECT_EQ(ParseSettingInteger(c.text), c.expected) << testing::PrintToString(std::string(c.text));
    }
}

TEST(SettingsText, IntegerRuleOnVeryLongText) {
    // 10^k is a multiple of 2^32 for k >= 32, so only the last digit survives the wrap.
    EXPECT_EQ(ParseSettingInteger(("1" + std::string(5000, '0') + "7").c_str()), 7);
    EXPECT_EQ(ParseSettingInteger(("-1" + std::string(5000, '0') + "5").c_str()), -5);
}

struct RealCase {
    const char* text;
    double expected;
};

TEST(SettingsText, RealRule) {
    const RealCase cases[] = {
        // Texts as the profile function hands them over.
        {"250", 250.0}, {"250.", 250.0}, {".5", 0.5}, {"-.5", -0.5}, {"+1.5", 1.5},
        {"2e2", 200.0}, {"1d2", 100.0}, {"1D2", 100.0}, {"1E2", 100.0}, {"1d-1", 0.1},
        {"1e-3", 1e-3}, {"0.1", 0.1}, {"1.25", 1.25}, {" 1.5", 1.5}, {"9e99", 9e99}, {"-9e99", -9e99},
        {"1e", 1.0}, {"1e+", 1.0}, {"1e-", 1.0}, {"1.e2", 100.0}, {"7abc", 7.0},
        {"", 0.0}, {".", 0.0}, {"+.", 0.0}, {"-", 0.0}, {"-.e1", 0.0}, {"e5", 0.0}, {"abc", 0.0},
        {"0x10", 0.0}, {"inf", 0.0}, {"nan", 0.0}, {"1.2.", 1.2}, {"1e2e", 100.0},
        // Longer texts: exactness, range limits and rounding.
        {" \t\n\v\f\r2", 2.0}, {"123456789012345678901234567890", 123456789012345678901234567890.0},
        {"1.7976931348623157e308", DBL_MAX}, {"1.7976931348623159e308", inf}, {"1e309", inf},
        {"-1e400", -inf}, {"4.9e-324", 4.9e-324}, {"2.2250738585072014E-308", DBL_MIN},
        {"1e-400", 0.0}, {"1e99999999999999999999", inf}, {"1e-99999999999999999999", 0.0},
        {"0e99999999999999999999", 0.0},
        // 1 + 2^-53, halfway between 1 and the next double: ties to even.
        {"1.00000000000000011102230246251565404236316680908203125", 1.0},
        {"1.00000000000000011102230246251565404236316680908203126", 1.0000000000000002},
    };
    for (const RealCase& c : cases) {
        EXPECT_EQ(ParseSettingReal(c.text), c.expected) << testing::PrintToString(std::string(c.text));
    }
}

TEST(SettingsText, RealRuleKeepsTheSignOfZero) {
    EXPECT_TRUE(std::signbit(ParseSettingReal("-0")));
    EXPECT_TRUE(std::signbit(ParseSettingReal("-0.e5")));
    EXPECT_FALSE(std::signbit(ParseSettingReal("0")));
    EXPECT_FALSE(std::signbit(ParseSettingReal("-")));
}

TEST(SettingsText, RealRuleOnVeryLongText) {
    const std::string halfway = "1.00000000000000011102230246251565404236316680908203125";
    const std::string zeros(900, '0');
    const struct {
        std::string text;
        double expected;
    } cases[] = {
        // A nonzero digit far beyond the first 800 still decides the rounding.
        {halfway + zeros, 1.0},
        {halfway + zeros + "1", 1.0000000000000002},
        {"0." + zeros + "1e901", 1.0},
        {"1" + zeros + "e-900", 1.0},
        {zeros + "5" + zeros + "e-900", 5.0},
        {"." + zeros + "1", 0.0},
        {"1" + zeros, inf},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseSettingReal(c.text.c_str()), c.expected) << c.text.size() << " characters";
    }
}

TEST(SettingsText, NarrowingToSingle) {
    const struct {
        double value;
        float expected;
    } cases[] = {
        {250.0, 250.0f}, {0.1, 0.1f}, {-0.5, -0.5f}, {1e-50, 0.0f}, {FLT_MAX, FLT_MAX},
        {0x1.fffffefffffffp+127, FLT_MAX},  // just below halfway to 2^128: still the largest float
        {0x1.ffffffp+127, infF},            // halfway: rounds to infinity
        {-0x1.ffffffp+127, -infF}, {1e39, infF}, {9e99, infF}, {-9e99, -infF}, {inf, infF}, {-inf, -infF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NarrowToSingle(c.value), c.expected) << c.value;
    }
    EXPECT_TRUE(std::isnan(NarrowToSingle(std::numeric_limits<double>::quiet_NaN())));
}

TEST(SettingsText, MarginOfHugeTextIsInfinityOfItsSign) {
    EXPECT_EQ(NarrowToSingle(ParseSettingReal("9e99")), infF);
    EXPECT_EQ(NarrowToSingle(ParseSettingReal("-9e9")), -9e9f);
    EXPECT_EQ(NarrowToSingle(ParseSettingReal("-9e99")), -infF);
    EXPECT_EQ(NarrowToSingle(ParseSettingReal("1e39")), infF);
    EXPECT_EQ(NarrowToSingle(ParseSettingReal("3e38")), 3e38f);
}

TEST(SettingsText, WritingIntegers) {
    const struct {
        int32_t value;
        const char* expected;
    } cases[] = {
        {0, "0"}, {7, "7"}, {-7, "-7"}, {250, "250"}, {-1000, "-1000"},
        {12345678, "12345678"}, {-12345678, "-12345678"},
        {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"},
    };
    for (const auto& c : cases) {
        char buffer[settingIntegerTextSize];
        std::memset(buffer, 'x', sizeof buffer);
        const std::size_t length = FormatSettingInteger(c.value, buffer);
        EXPECT_STREQ(buffer, c.expected);
        EXPECT_EQ(length, std::strlen(c.expected));
        EXPECT_EQ(ParseSettingInteger(buffer), c.value) << buffer;
    }
}

TEST(SettingsText, EightDigitValueReadsBackAsItsFirstFourDigits) {
    char buffer[settingIntegerTextSize];
    FormatSettingInteger(12345678, buffer);
    buffer[4] = '\0';  // what the profile function hands over
    EXPECT_EQ(ParseSettingInteger(buffer), 1234);
}

}  // namespace
