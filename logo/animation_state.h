#pragma once
#include <cstdint>

#include "settings/saver_settings.h"

// The renderer's process-wide state. Values kept from frame to frame are 32-bit floats and
// 32-bit integers; intermediate arithmetic is done in double precision.
struct AnimationState {
    float angle = 0.0f;          // rotation in radians, kept within [0, 2*pi)
    float angleStep = 0.0f;      // radians per frame, speed * 0.01
    int32_t colourLevel = 0;     // red level of the pen, 0 to 255; green is 255 - colourLevel
    int32_t colourStep = 1;      // +1 or -1
    float scale = 1.0f;          // factor on the row value in the curve parameter
    int32_t driftX = 0;          // displacement of the displaced copies, in pixels
    int32_t driftY = 0;          // always equal to driftX; the reversal tests look at this one
    int32_t driftDirection = -1; // +1 or -1
    int32_t holdActive = 0;      // 1 while the scale is held at its rest value
    int32_t holdCountdown = 0;   // frames left in the running hold
    bool started = false;        // set by the first frame of the process
};

extern AnimationState animationState;

// Radians per frame for a speed setting: speed * 0.01, the constant and the product in single
// precision.
float AngleStepForSpeed(int32_t speed);

// Everything that changes before a frame is drawn: the first frame's drift and scale, the colour
// step, the start and count of a hold, and the drift step. Returns the red level of this frame's
// pen, the level from before the colour step.
int32_t StepAnimation(AnimationState& state, const SaverSettings& settings);

// After the frame: angle + angleStep, reduced into [0, 2*pi).
void AdvanceAngle(AnimationState& state);

// The pen colour as a COLORREF value: red in the low byte, green = 255 - red in the next, blue 0.
uint32_t PenColour(int32_t redLevel);
