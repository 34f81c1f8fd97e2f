#pragma once
#include <cstdint>

// The saver window's client size in pixels, kept from WM_SIZE (0 to 65535 each).
extern int32_t surfaceWidth;
extern int32_t surfaceHeight;
