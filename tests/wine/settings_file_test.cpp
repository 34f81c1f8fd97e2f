// The settings file through the real profile functions, in the prefix's Windows directory.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "settings/saver_settings.h"
#include "settings/win32/settings_file.h"
#include "support/settings_file_access.h"

namespace {

constexpr float infinity = std::numeric_limits<float>::infinity();

class SettingsFileTest : public testing::Test {
protected:
    void SetUp() override { RemoveSettingsFile(); }
    void TearDown() override { RemoveSettingsFile(); }
};

// Loads into a record filled with values no case expects, so that every field must be written.
SaverSettings LoadFresh() {
    saverSettings = {-7777, -7777, -7777, -7777.0f};
    LoadSaverSettings();
    return saverSettings;
}

void ExpectSettings(const SaverSettings& actual, const SaverSettings& expected) {
    EXPECT_EQ(actual.speed, expected.speed);
    EXPECT_EQ(actual.xOffset, expected.xOffset);
    EXPECT_EQ(actual.yOffset, expected.yOffset);
    EXPECT_EQ(actual.margin, expected.margin);  // exact, infinities included
}

TEST_F(SettingsFileTest, NoFileGivesTheDefaultsAndCreatesNothing) {
    ExpectSettings(LoadFresh(), {4, 50, 150, 250.0f});
    EXPECT_FALSE(ReadSettingsFile().has_value());
}

TEST_F(SettingsFileTest, LoadConvertsWhatTheFileHolds) {
    struct Case {
        const char* name;
        std::string file;
        SaverSettings expected;
    };
    const Case cases[] = {
        {"another section only", "[Other]\r\nspeed=9\r\nlen=1\r\n", {4, 50, 150, 250.0f}},
        {"some keys missing", "[Setting]\r\nspeed=7\r\nlen=12.5\r\n", {7, 50, 150, 12.5f}},
        {"keys present but empty", "[Setting]\r\nspeed=\r\nX-offset=\r\nY-offset=\r\nlen=\r\n",
         {0, 0, 0, 0.0f}},
        {"values cut to four characters", "[Setting]\r\nspeed=12345\r\nX-offset=-1000\r\n"
         "Y-offset=99999999\r\nlen=250.75\r\n", {1234, -100, 9999, 250.0f}},
        {"negatives", "[Setting]\r\nspeed=-20\r\nX-offset=-1\r\nY-offset=-0\r\nlen=-3.5\r\n",
         {-20, -1, 0, -3.5f}},
        {"text after a number, text without one", "[Setting]\r\nspeed=7abc\r\nX-offset=abc\r\n"
         "Y-offset=+\r\nlen=x1\r\n", {7, 0, 0, 0.0f}},
        {"fractions and exponents", "[Setting]\r\nspeed=1.9\r\nX-offset=2e2\r\nY-offset=.5\r\n"
         "len=1d2\r\n", {1, 2, 0, 100.0f}},
        {"margin beyond single precision", "[Setting]\r\nlen=9e99\r\n", {4, 50, 150, infinity}},
        {"negative margin beyond single precision", "[Setting]\r\nlen=-9e9\r\n",
         {4, 50, 150, -9e9f}},
        {"lower-case names, blanks around values", "[setting]\r\nSPEED =  12 \r\nx-offset=3\r\n",
         {12, 3, 150, 250.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteSettingsFile(c.file));
        ExpectSettings(LoadFresh(), c.expected);
    }
}

TEST_F(SettingsFileTest, SaveWritesSignedDecimalTextThatLoadReadsBack) {
    struct Case {
        int32_t speed, xOffset, yOffset, margin;
        std::vector<std::string> lines;
        SaverSettings loaded;
    };
    const Case cases[] = {
        {4, 50, 150, 250, {"[Setting]", "speed=4", "X-offset=50", "Y-offset=150", "len=250"},
         {4, 50, 150, 250.0f}},
        {0, -20, 9999, -5, {"[Setting]", "speed=0", "X-offset=-20", "Y-offset=9999", "len=-5"},
         {0, -20, 9999, -5.0f}},
        {INT32_MIN, INT32_MAX, 12345678, -1294967296,
         {"[Setting]", "speed=-2147483648", "X-offset=2147483647", "Y-offset=12345678",
          "len=-1294967296"},
         {-214, 2147, 1234, -129.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines[1]);
        SaveSaverSettings(c.speed, c.xOffset, c.yOffset, c.margin);
        EXPECT_EQ(SettingsFileLines(), c.lines);
        ExpectSettings(LoadFresh(), c.loaded);
    }
}

TEST_F(SettingsFileTest, FirstSaveWritesTheFourKeysInOrder) {
    SaveSaverSettings(1, 2, 3, 4);
    const std::vector<std::string> expected = {"[Setting]", "speed=1", "X-offset=2", "Y-offset=3",
                                               "len=4"};
    EXPECT_EQ(SettingsFileLines(), expected);
}

TEST_F(SettingsFileTest, SaveReplacesTheFourKeysAndKeepsTheRest) {
    ASSERT_TRUE(WriteSettingsFile("[Other]\r\nkeep=me\r\n[Setting]\r\nlen=1\r\nspeed=2\r\n"
                                  "extra=yes\r\n"));
    SaveSaverSettings(-3, 4, 5, 6);
    char text[16] = {};
    GetPrivateProfileStringA("Other", "keep", "", text, sizeof text, settingsFileName);
    EXPECT_STREQ(text, "me");
    GetPrivateProfileStringA("Setting", "extra", "", text, sizeof text, settingsFileName);
    EXPECT_STREQ(text, "yes");
    ExpectSettings(LoadFresh(), {-3, 4, 5, 6.0f});
}

}  // namespace
