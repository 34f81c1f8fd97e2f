#include "logo/animation_state.h"

#include <cmath>
#include <numbers>

AnimationState animationState;

namespace {

constexpr double holdTolerance = 0.000001;
constexpr int32_t holdLength = 100;
constexpr float scaleStep = 0.002f;

// Drift arithmetic wraps in 32 bits: settings far out of range must not overflow.
int32_t AddWrapping(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

}  // namespace

float AngleStepForSpeed(int32_t speed) {
    return static_cast<float>(static_cast<double>(speed) * static_cast<double>(0.01f));
}

int32_t StepAnimation(AnimationState& state, const SaverSettings& settings) {
    if (!state.started) {
        state.started = true;
        state.driftX = settings.xOffset;
        state.driftY = settings.xOffset;
        state.scale = 1.0f;
    }

    const int32_t penLevel = state.colourLevel;
    if (state.colourLevel == 255) state.colourStep = -1;
    if (state.colourLevel == 0) state.colourStep = 1;
    state.colourLevel += state.colourStep;

    const int32_t dir = state.driftDirection;
    const double scale = state.scale;
    if (state.holdActive == 0 && 1.0 - holdTolerance < scale && scale < 1.0 + holdTolerance) {
        state.holdCountdown = holdLength;
        state.holdActive = 1;
    }
    if (state.holdActive == 1) state.holdCountdown -= 1;

    if (state.holdCountdown == 0) {
        state.holdActive = 0;
        // The scale moves with the direction from before the reversal, so it lags the drift by
        // one step at each turn.
        state.scale = static_cast<float>(scale + static_cast<double>(scaleStep) * dir);
        if (state.driftY == 0) state.driftDirection = 1;
        if (state.driftY == settings.yOffset) state.driftDirection = -1;
        state.driftX = AddWrapping(state.driftX, state.driftDirection);
        state.driftY = AddWrapping(state.driftY, state.driftDirection);
    }
    return penLevel;
}

void AdvanceAngle(AnimationState& state) {
    constexpr double fullTurn = 2.0 * std::numbers::pi;
    const double sum = static_cast<double>(state.angle) + static_cast<double>(state.angleStep);
    const float next = static_cast<float>(sum);
    if (next >= 0.0f && next < fullTurn) {
        state.angle = next;
        return;
    }
    // Reduced so that the float grid stays fine and the figure keeps turning for hours.
    if (!std::isfinite(sum)) {
        state.angle = 0.0f;
        return;
    }
    double reduced = std::fmod(sum, fullTurn);
    if (reduced < 0.0) reduced += fullTurn;
    const float wrapped = static_cast<float>(reduced);
    // Rounding can land on the float just above 2*pi; that is the same direction as 0.
    state.angle = wrapped < fullTurn ? wrapped : 0.0f;
}

uint32_t PenColour(int32_t redLevel) {
    const uint32_t red = static_cast<uint32_t>(redLevel) & 0xFFu;
    const uint32_t green = static_cast<uint32_t>(255 - (redLevel & 0xFF)) & 0xFFu;
    return red | (green << 8);
}
