#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "logo/animation_state.h"

namespace {

const SaverSettings defaults = {4, 50, 150, 250.0f};

AnimationState FreshState(int32_t speed) {
    AnimationState state;
    state.angleStep = AngleStepForSpeed(speed);
    return state;
}

// Frames at which a hold starts (the countdown is 99 right after the frame's steps).
std::vector<int> HoldStarts(const SaverSettings& settings, int frames, std::vector<int32_t>* drifts) {
    AnimationState state = FreshState(settings.speed);
    std::vector<int> starts;
    for (int frame = 0; frame < frames; ++frame) {
        const int32_t wasActive = state.holdActive;
        StepAnimation(state, settings);
        if (wasActive == 0 && state.holdActive == 1) {
            EXPECT_EQ(state.holdCountdown, 99) << "frame " << frame;
            starts.push_back(frame);
            if (drifts) drifts->push_back(state.driftY);
        }
    }
    return starts;
}

}  // namespace

TEST(AnimationState, ProcessWideRecordStartsFresh) {
    EXPECT_EQ(animationState.angle, 0.0f);
    EXPECT_EQ(animationState.colourLevel, 0);
    EXPECT_EQ(animationState.colourStep, 1);
    EXPECT_EQ(animationState.scale, 1.0f);
    EXPECT_EQ(animationState.driftDirection, -1);
    EXPECT_EQ(animationState.holdActive, 0);
    EXPECT_EQ(animationState.holdCountdown, 0);
    EXPECT_FALSE(animationState.started);
}

TEST(StepAnimation, FirstFrameTakesBothDriftsFromXOffsetAndStartsTheShortHold) {
    AnimationState state = FreshState(4);
    state.scale = 0.5f;  // whatever it held, the first frame starts from the rest scale
    const SaverSettings settings = {4, 7, 150, 250.0f};
    EXPECT_EQ(StepAnimation(state, settings), 0);
    EXPECT_EQ(state.driftX, 7);
    EXPECT_EQ(state.driftY, 7);
    EXPECT_EQ(state.scale, 1.0f);
    EXPECT_EQ(state.holdActive, 1);
    EXPECT_EQ(state.holdCountdown, 99);
    EXPECT_EQ(state.colourLevel, 1);

    // Later frames keep the drift; the first drift step comes on frame 99.
    for (int frame = 1; frame <= 98; ++frame) StepAnimation(state, settings);
    EXPECT_EQ(state.driftX, 7);
    StepAnimation(state, settings);
    EXPECT_EQ(state.driftX, 6);
    EXPECT_EQ(state.driftY, 6);
}

TEST(StepAnimation, PenMovesOneStepPerFrameBetweenGreenAndRed) {
    AnimationState state = FreshState(4);
    std::vector<uint32_t> colours;
    for (int frame = 0; frame <= 1020; ++frame) colours.push_back(PenColour(StepAnimation(state, defaults)));
    for (int frame = 0; frame <= 1020; ++frame) {
        const uint32_t phase = frame % 510;
        const uint32_t red = phase <= 255 ? phase : 510 - phase;
        ASSERT_EQ(colours[frame], red | ((255 - red) << 8)) << "frame " << frame;
    }
    EXPECT_EQ(colours[0], 0x00FF00u);    // pure green
    EXPECT_EQ(colours[255], 0x0000FFu);  // pure red
    EXPECT_EQ(colours[256], 0x0001FEu);
    EXPECT_EQ(colours[510], 0x00FF00u);
}

TEST(StepAnimation, DefaultScaleAndDriftCycle) {
    struct Row {
        int frame;
        float scale;
        bool exact;
        int32_t drift;
        int32_t direction;
    };
    const Row table[] = {
        {0, 1.0f, true, 50, -1},      {98, 1.0f, true, 50, -1},    {99, 0.998f, false, 49, -1},
        {148, 0.9f, false, 0, -1},    {149, 0.898f, false, 1, 1},  {200, 1.0f, true, 52, 1},
        {201, 1.0f, true, 52, 1},     {299, 1.0f, true, 52, 1},    {300, 1.002f, false, 53, 1},
        {397, 1.196f, false, 150, 1}, {398, 1.198f, false, 149, -1}, {497, 1.0f, true, 50, -1},
    };
    AnimationState state = FreshState(4);
    std::vector<AnimationState> after;
    for (int frame = 0; frame < 1500; ++frame) {
        StepAnimation(state, defaults);
        after.push_back(state);
    }
    for (const Row& row : table) {
        const AnimationState& s = after[row.frame];
        if (row.exact) {
            EXPECT_EQ(s.scale, row.scale) << "frame " << row.frame;
        } else {
            EXPECT_NEAR(s.scale, row.scale, 2e-5) << "frame " << row.frame;
        }
        EXPECT_EQ(s.driftX, row.drift) << "frame " << row.frame;
        EXPECT_EQ(s.driftY, row.drift) << "frame " << row.frame;
        EXPECT_EQ(s.driftDirection, row.direction) << "frame " << row.frame;
    }
    // From frame 0 on the whole cycle repeats every 498 frames, bit for bit.
    for (int frame = 0; frame + 498 < 1500; ++frame) {
        const AnimationState& a = after[frame];
        const AnimationState& b = after[frame + 498];
        ASSERT_EQ(a.scale, b.scale) << "frame " << frame;
        ASSERT_EQ(a.driftY, b.driftY) << "frame " << frame;
        ASSERT_EQ(a.driftDirection, b.driftDirection) << "frame " << frame;
        ASSERT_EQ(a.holdActive, b.holdActive) << "frame " << frame;
        ASSERT_EQ(a.holdCountdown, b.holdCountdown) << "frame " << frame;
    }
}

TEST(StepAnimation, HoldStartsOnlyStrictlyWithinTheTolerance) {
    struct Row {
        float scale;
        bool holds;
    };
    const Row table[] = {
        {1.0f, true},
        {std::nextafter(1.0f, 0.0f), true},
        {1.00000095f, true},   // nearest float to 1.000001 lies just inside
        {1.00000107f, false},  // the next float up lies outside
        {0.999999f, false},    // nearest float to 0.999999 is 0.99999898...
        {1.0000021f, false},
        {0.998f, false},
    };
    for (const Row& row : table) {
        AnimationState state = FreshState(4);
        state.started = true;
        state.driftX = state.driftY = 50;
        state.scale = row.scale;
        StepAnimation(state, defaults);
        EXPECT_EQ(state.holdActive == 1, row.holds) << row.scale;
        if (row.holds) {
            EXPECT_EQ(state.holdCountdown, 99);
            EXPECT_EQ(state.scale, row.scale);
            EXPECT_EQ(state.driftY, 50);
        } else {
            EXPECT_EQ(state.driftY, 49);
        }
    }
}

TEST(StepAnimation, HoldsRecurOnlyWhenXOffsetIsBelowYOffset) {
    std::vector<int32_t> drifts;
    EXPECT_EQ(HoldStarts({4, 50, 150, 250.0f}, 1000, nullptr), (std::vector<int>{0, 201, 498, 699, 996}));
    EXPECT_EQ(HoldStarts({4, 0, 150, 250.0f}, 1000, &drifts), (std::vector<int>{0, 101, 498, 599, 996}));
    EXPECT_EQ(drifts, (std::vector<int32_t>{0, 2, 0, 2, 0}));
    EXPECT_EQ(HoldStarts({4, 150, 150, 250.0f}, 3000, nullptr), std::vector<int>{0});
    EXPECT_EQ(HoldStarts({4, 0, 0, 250.0f}, 1000, nullptr), std::vector<int>{0});

    // With both at 150 the scale afterwards runs between about 0.698 and 0.998.
    AnimationState state = FreshState(4);
    float lowest = 2.0f;
    float highest = 0.0f;
    for (int frame = 0; frame < 3000; ++frame) {
        StepAnimation(state, {4, 150, 150, 250.0f});
        if (frame >= 99) {
            lowest = std::min(lowest, state.scale);
            highest = std::max(highest, state.scale);
        }
    }
    EXPECT_NEAR(lowest, 0.698f, 1e-4);
    EXPECT_NEAR(highest, 0.998f, 1e-4);
}

TEST(StepAnimation, DownwardWinsWhenTheDriftIsAtBothTurningValues) {
    // xOffset = yOffset = 0: the drift turns up and at once down again, and then keeps falling.
    AnimationState state = FreshState(4);
    const SaverSettings settings = {4, 0, 0, 250.0f};
    for (int frame = 0; frame <= 99; ++frame) StepAnimation(state, settings);
    EXPECT_EQ(state.driftY, -1);
    EXPECT_EQ(state.driftDirection, -1);
    for (int frame = 100; frame < 200; ++frame) StepAnimation(state, settings);
    EXPECT_EQ(state.driftX, -101);
    EXPECT_EQ(state.driftY, -101);
}

TEST(StepAnimation, DriftWrapsAroundTheInt32RangeInsteadOfOverflowing) {
    struct Row {
        int32_t drift;
        int32_t direction;
        int32_t yOffset;
        int32_t expected;  // after two drift steps
    };
    const Row table[] = {
        {INT32_MIN + 1, -1, 150, INT32_MAX},
        {INT32_MAX - 1, 1, -5, INT32_MIN},
    };
    for (const Row& row : table) {
        AnimationState state = FreshState(4);
        state.started = true;
        state.scale = 0.5f;
        state.driftX = state.driftY = row.drift;
        state.driftDirection = row.direction;
        StepAnimation(state, {4, 0, row.yOffset, 250.0f});
        StepAnimation(state, {4, 0, row.yOffset, 250.0f});
        EXPECT_EQ(state.driftX, row.expected);
        EXPECT_EQ(state.driftY, row.expected);
    }
    // The settings that drive the scale below zero run for many frames without fault.
    const SaverSettings extremes[] = {{4, 600, 150, 250.0f}, {4, -5, 150, 250.0f}, {4, 0, 0, 250.0f},
                                      {4, 50, -1, 250.0f},   {4, INT32_MAX, INT32_MIN, 250.0f},
                                      {4, INT32_MIN, INT32_MAX, 250.0f}};
    for (const SaverSettings& settings : extremes) {
        AnimationState state = FreshState(4);
        for (int frame = 0; frame < 5000; ++frame) StepAnimation(state, settings);
        EXPECT_EQ(state.driftX, state.driftY);
        EXPECT_TRUE(std::isfinite(state.scale));
    }
}

TEST(AngleStep, IsTheSpeedTimesOneHundredthInSinglePrecision) {
    EXPECT_EQ(AngleStepForSpeed(4), 0.04f);
    for (int32_t speed = -2000; speed <= 2000; ++speed) {
        ASSERT_EQ(AngleStepForSpeed(speed), static_cast<float>(speed) * 0.01f) << speed;
    }
}

TEST(AdvanceAngle, FollowsTheSinglePrecisionSumWithinTheFirstTurn) {
    for (const int32_t speed : {1, 4, 37, 300}) {
        AnimationState state = FreshState(speed);
        float expected = 0.0f;
        for (;;) {
            expected = static_cast<float>(static_cast<double>(expected) + state.angleStep);
            if (expected >= 2.0 * std::numbers::pi) break;
            AdvanceAngle(state);
            ASSERT_EQ(state.angle, expected) << "speed " << speed;
        }
    }
}

TEST(AdvanceAngle, KeepsTurningByTheStepAfterTenMillionFrames) {
    struct Row {
        int32_t speed;
        int frames;
    };
    const Row table[] = {{4, 10'000'000}, {-4, 1'000'000}, {1, 1'000'000}, {629, 100'000}, {INT32_MAX, 100'000}};
    constexpr double fullTurn = 2.0 * std::numbers::pi;
    for (const Row& row : table) {
        AnimationState state = FreshState(row.speed);
        for (int frame = 0; frame < row.frames; ++frame) AdvanceAngle(state);
        const double expectedChange = std::remainder(static_cast<double>(state.angleStep), fullTurn);
        for (int frame = 0; frame < 1000; ++frame) {
            const double before = state.angle;
            AdvanceAngle(state);
            ASSERT_GE(state.angle, 0.0f) << "speed " << row.speed;
            ASSERT_LT(state.angle, fullTurn) << "speed " << row.speed;
            const double change = std::remainder(state.angle - before, fullTurn);
            ASSERT_NEAR(change, expectedChange, 1e-5) << "speed " << row.speed;
        }
    }
    AnimationState broken = FreshState(4);
    broken.angleStep = INFINITY;
    AdvanceAngle(broken);
    EXPECT_EQ(broken.angle, 0.0f);
}
