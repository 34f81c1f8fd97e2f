#pragma once
#include <cstdint>

// A cursor position in screen coordinates, in pixels.
struct CursorPoint {
    int32_t x;
    int32_t y;
};

// True when the cursor stands more than threshold pixels (horizontal plus vertical distance) away
// from the anchor. The distance is exact for any coordinates: no signed overflow, and a sum beyond
// 32 bits still counts as beyond the threshold.
bool MovedBeyondThreshold(CursorPoint anchor, CursorPoint current, uint32_t threshold);
