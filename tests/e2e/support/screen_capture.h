#pragma once
// The screen's pixels as this process reads them back from the screen device context.
#include <windows.h>

#include <cstdint>
#include <vector>

struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows from the top
};

ScreenPixels CaptureScreen();

inline uint32_t Red(uint32_t pixel) { return (pixel >> 16) & 0xFF; }
inline uint32_t Green(uint32_t pixel) { return (pixel >> 8) & 0xFF; }
inline uint32_t Blue(uint32_t pixel) { return pixel & 0xFF; }
