#include "settings/win32/settings_file.h"

#include <windows.h>

#include "settings/saver_settings.h"
#include "settings/settings_text.h"

namespace {

// A bare name: the profile functions look for it in the Windows directory.
constexpr const char* settingsFileName = "CorvantisZireRE.ini";
constexpr const char* settingsSection = "Setting";
// Four characters and the terminator: a longer value is cut to its first four characters.
constexpr DWORD valueTextSize = 5;

struct ValueText {
    char text[valueTextSize];
};

ValueText ReadValue(const char* key, const char* defaultText) {
    ValueText value = {};
    GetPrivateProfileStringA(settingsSection, key, defaultText, value.text, valueTextSize,
                             settingsFileName);
    return value;
}

void WriteInteger(const char* key, int32_t value) {
    char text[settingIntegerTextSize];
    FormatSettingInteger(value, text);
    WritePrivateProfileStringA(settingsSection, key, text, settingsFileName);
}

}  // namespace

void LoadSaverSettings() {
    saverSettings.speed = ParseSettingInteger(ReadValue("speed", "4").text);
    saverSettings.xOffset = ParseSettingInteger(ReadValue("X-offset", "50").text);
    saverSettings.yOffset = ParseSettingInteger(ReadValue("Y-offset", "150").text);
    saverSettings.margin = NarrowToSingle(ParseSettingReal(ReadValue("len", "250").text));
}

void SaveSaverSettings(int32_t speed, int32_t xOffset, int32_t yOffset, int32_t margin) {
    WriteInteger("speed", speed);
    WriteInteger("X-offset", xOffset);
    WriteInteger("Y-offset", yOffset);
    WriteInteger("len", margin);
}
