#pragma once
#include <cstdint>

// Fills saverSettings from "CorvantisZireRE.ini" (section "Setting"), defaults for missing keys.
void LoadSaverSettings();
// Writes the four keys as signed decimal text.
void SaveSaverSettings(int32_t speed, int32_t xOffset, int32_t yOffset, int32_t margin);
