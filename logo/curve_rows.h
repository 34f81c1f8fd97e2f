#pragma once
#include <cstdint>

#include "logo/animation_state.h"

// Receives the strokes of a frame in drawing order. Each stroke is a one-pixel line from the first
// end to the second, the second end itself excluded.
struct StrokeSink {
    virtual void Stroke(int32_t x0, int32_t y0, int32_t x1, int32_t y1) = 0;
};

// The unrotated curve abscissa of row value rowValue: with t = scale * rowValue - halfHeight,
// halfWidth + 0.0008 t^3 - 2.4 t, rounded to a 32-bit float.
float CurveAbscissa(float scale, double rowValue, int32_t halfWidth, int32_t halfHeight);

// Hands every stroke of one frame on a width x height surface to the sink, eight per row (the
// curve, its mirror through the centre, each displaced by +drift and -drift, and the two rungs
// across the displaced copies), with the state's scale, drift and angle. The rows run from the
// row below the centre until the unrotated abscissa reaches width - margin, and stop early once
// they can no longer touch the surface. Returns the number of rows.
int32_t TraceCurveRows(const AnimationState& state, float margin, int32_t width, int32_t height,
                       StrokeSink& sink);
