#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "logo/animation_state.h"
#include "logo/curve_rows.h"
#include "logo/truncate_coordinate.h"

namespace {

const SaverSettings defaults = {4, 50, 150, 250.0f};

struct Line {
    int32_t x0, y0, x1, y1;
    bool operator==(const Line&) const = default;
};

struct RecordingSink : StrokeSink {
    std::vector<Line> lines;
    void Stroke(int32_t x0, int32_t y0, int32_t x1, int32_t y1) override { lines.push_back({x0, y0, x1, y1}); }
};

struct CountingSink : StrokeSink {
    int64_t strokes = 0;
    void Stroke(int32_t, int32_t, int32_t, int32_t) override { ++strokes; }
};

struct Frame {
    int32_t rows;
    std::vector<Line> lines;
};

Frame Trace(const AnimationState& state, float margin, int32_t width, int32_t height) {
    RecordingSink sink;
    const int32_t rows = TraceCurveRows(state, margin, width, height, sink);
    return {rows, sink.lines};
}

// The state of a running frame with the given scale and drift, at angle 0.
AnimationState StateWith(float scale, int32_t drift, float angle = 0.0f) {
    AnimationState state;
    state.started = true;
    state.scale = scale;
    state.driftX = state.driftY = drift;
    state.angle = angle;
    return state;
}

// Distance from (cx, cy) to the segment between two integer points.
double SegmentDistance(const Line& l, double cx, double cy) {
    const double ax = l.x0, ay = l.y0, bx = l.x1, by = l.y1;
    const double vx = bx - ax, vy = by - ay;
    const double length2 = vx * vx + vy * vy;
    double s = length2 > 0 ? ((cx - ax) * vx + (cy - ay) * vy) / length2 : 0.0;
    s = std::clamp(s, 0.0, 1.0);
    return std::hypot(ax + s * vx - cx, ay + s * vy - cy);
}

}  // namespace

TEST(TraceCurveRows, FirstFrameAtDefaults) {
    AnimationState state;
    state.angleStep = AngleStepForSpeed(4);
    EXPECT_EQ(PenColour(StepAnimation(state, defaults)), 0x00FF00u);
    EXPECT_EQ(state.holdCountdown, 99);

    EXPECT_NEAR(CurveAbscissa(1.0f, 301, 400, 300), 397.6008, 1e-4);
    const Frame frame = Trace(state, defaults.margin, 800, 600);
    ASSERT_EQ(frame.rows, 75);
    ASSERT_EQ(frame.lines.size(), 600u);
    // The first row joins its point to itself (nothing drawn) except for the two rungs.
    const std::vector<Line> firstRow(frame.lines.begin(), frame.lines.begin() + 8);
    EXPECT_EQ(firstRow, (std::vector<Line>{{397, 301, 397, 301}, {402, 299, 402, 299}, {447, 351, 447, 351},
                                           {452, 349, 452, 349}, {347, 251, 347, 251}, {352, 249, 352, 249},
                                           {347, 251, 447, 351}, {452, 349, 352, 249}}));
    // The last row has Y = 375, whose abscissa 557.5 is the first not below 550.
    EXPECT_EQ(CurveAbscissa(1.0f, 375, 400, 300), 557.5f);
    EXPECT_LT(CurveAbscissa(1.0f, 374, 400, 300), 550.0f);
    const Line& lastCurve = frame.lines[600 - 8];
    EXPECT_EQ(lastCurve, (Line{546, 374, 557, 375}));
}

TEST(TraceCurveRows, RowCounts) {
    struct Row {
        int32_t width;
        int32_t height;
        float scale;
        float margin;
        float angle;
        int32_t rows;
    };
    const float halfTurn = 3.14159265f;
    const Row table[] = {
        {800, 600, 1.0f, 250.0f, 0.0f, 75},
        {640, 480, 1.0f, 250.0f, 0.0f, 66},
        {1024, 768, 1.0f, 250.0f, 0.0f, 84},
        {800, 600, 0.898001313f, 250.0f, 0.0f, 117},  // frame 149 of the default cycle
        {800, 600, 1.202f, 250.0f, 0.0f, 12},
        {333, 250, 1.0f, 250.0f, 0.0f, 0},  // the start point already lies beyond W - margin
        {0, 0, 1.0f, 250.0f, 0.0f, 0},
        {800, 600, 1.0f, INFINITY, 0.0f, 0},
        {800, 600, 1.0f, NAN, 0.0f, 0},
        // The entry test looks at the start point after rotation: (397.6, 301) turned by a half
        // turn lies at x = 402.4, beyond 800 - 400; later rows test the unrotated abscissa.
        {800, 600, 1.0f, 400.0f, 0.0f, 55},
        {800, 600, 1.0f, 400.0f, halfTurn, 0},
        {800, 600, 1.0f, 395.0f, halfTurn, 56},
    };
    for (const Row& row : table) {
        const Frame frame = Trace(StateWith(row.scale, 50, row.angle), row.margin, row.width, row.height);
        EXPECT_EQ(frame.rows, row.rows) << row.width << "x" << row.height << " scale " << row.scale;
        EXPECT_EQ(frame.lines.size(), 8u * row.rows) << row.width << "x" << row.height;
    }
}

TEST(TraceCurveRows, CurveUsesIntegerHalvesAndMirrorUsesTheExactCentre) {
    // 799 x 599: the curve starts at Y = 300 from hW = 399, the mirror is taken about (399.5, 299.5).
    EXPECT_NEAR(CurveAbscissa(1.0f, 300, 399, 299), 396.6008, 1e-4);
    const Frame frame = Trace(StateWith(1.0f, 50), 250.0f, 799, 599);
    ASSERT_GE(frame.lines.size(), 8u);
    EXPECT_EQ(frame.lines[6], (Line{346, 250, 446, 350}));
    EXPECT_EQ(frame.lines[7], (Line{452, 349, 352, 249}));
}

// Ordinary frames end where the curve reaches the margin, never at the visibility cut-off.
TEST(TraceCurveRows, OrdinaryFramesEndAtTheMargin) {
    struct Size {
        int32_t width;
        int32_t height;
    };
    for (const Size size : {Size{800, 600}, Size{640, 480}, Size{3840, 2160}, Size{200, 150}}) {
        AnimationState state;
        state.angleStep = AngleStepForSpeed(4);
        CountingSink sink;
        for (int frame = 0; frame < 498; ++frame) {
            StepAnimation(state, defaults);
            const int32_t rows = TraceCurveRows(state, defaults.margin, size.width, size.height, sink);
            AdvanceAngle(state);
            if (rows == 0) continue;
            const double limit = size.width - 250.0;
            const int32_t hW = size.width / 2, hH = size.height / 2;
            ASSERT_GE(CurveAbscissa(state.scale, hH + rows, hW, hH), limit) << size.width << " frame " << frame;
            if (rows > 1) {
                ASSERT_LT(CurveAbscissa(state.scale, hH + rows - 1, hW, hH), limit);
            }
        }
    }
}

TEST(TraceCurveRows, RungsLieAlongTheDiagonalAtEveryAngle) {
    AnimationState state;
    state.angleStep = AngleStepForSpeed(4);
    for (int frame = 0; frame < 600; ++frame) {
        StepAnimation(state, defaults);
        const Frame f = Trace(state, defaults.margin, 800, 600);
        AdvanceAngle(state);
        const int32_t span = 2 * state.driftX;
        for (size_t row = 0; row < static_cast<size_t>(f.rows); ++row) {
            const Line& rung7 = f.lines[row * 8 + 6];
            const Line& rung8 = f.lines[row * 8 + 7];
            ASSERT_NEAR(rung7.x1 - rung7.x0, span, 1) << "frame " << frame << " row " << row;
            ASSERT_NEAR(rung7.y1 - rung7.y0, span, 1) << "frame " << frame << " row " << row;
            ASSERT_NEAR(rung8.x1 - rung8.x0, -span, 1) << "frame " << frame << " row " << row;
            ASSERT_NEAR(rung8.y1 - rung8.y0, -span, 1) << "frame " << frame << " row " << row;
        }
    }
}

TEST(TruncateCoordinate, TowardZeroElseInt32Min) {
    struct Row {
        double value;
        int32_t expected;
    };
    const Row table[] = {
        {2.9, 2},
        {-0.5, 0},
        {-2.9, -2},
        {2147483647.9, INT32_MAX},
        {-2147483648.9, INT32_MIN},
        {2147483648.0, INT32_MIN},
        {-2147483649.0, INT32_MIN},
        {1e300, INT32_MIN},
        {INFINITY, INT32_MIN},
        {-INFINITY, INT32_MIN},
        {NAN, INT32_MIN},
    };
    for (const Row& row : table) EXPECT_EQ(TruncateCoordinate(row.value), row.expected) << row.value;
}

// Settings that would make the rows endless or run for millions of rows: every frame ends, within
// the visibility cut-off and the hard cap.
TEST(TraceCurveRows, ExtremeSettingsEndEveryFrame) {
    struct Row {
        const char* name;
        int32_t width;
        int32_t height;
        float scale;
        int32_t drift;
        float margin;
        float angle;
        int32_t exactRows;  // -1: only bounded
    };
    const Row table[] = {
        {"scale 0", 800, 600, 0.0f, 50, 250.0f, 0.0f, 574},
        {"scale negative", 800, 600, -1.0f, 50, 250.0f, 1.0f, -1},
        {"scale tiny positive", 800, 600, 1e-6f, 50, 250.0f, 0.0f, 574},
        {"scale 0.002", 800, 600, 0.002f, 0, 250.0f, 2.0f, -1},
        {"margin -inf", 800, 600, 1.0f, 50, -INFINITY, 0.0f, 574},
        {"margin huge negative", 3840, 2160, 1.0f, 50, -3e38f, 4.0f, -1},
        {"drift near the int32 limit", 800, 600, 0.0f, INT32_MAX, 250.0f, 0.0f, 1416},
        {"drift at the int32 minimum", 800, 600, -0.5f, INT32_MIN, -INFINITY, 3.0f, 1416},
        {"scale huge", 800, 600, 3e38f, 50, -INFINITY, 0.0f, -1},
        {"tiny surface", 1, 1, 0.0f, 0, -INFINITY, 0.0f, -1},
        {"0 x 0, margin -inf", 0, 0, 0.0f, 50, -INFINITY, 0.0f, -1},
        {"largest surface", 65535, 65535, 0.0f, 50, -INFINITY, 0.5f, -1},
    };
    for (const Row& row : table) {
        const AnimationState state = StateWith(row.scale, row.drift, row.angle);
        CountingSink sink;
        const int32_t rows = TraceCurveRows(state, row.margin, row.width, row.height, sink);
        const double halfDiagonal = std::hypot(static_cast<double>(row.width), static_cast<double>(row.height)) / 2;
        const double visible = halfDiagonal + 1.415 * std::fabs(static_cast<double>(row.drift)) + 4;
        EXPECT_LE(rows, int64_t{row.width} + row.height + 16) << row.name;
        EXPECT_LE(rows, visible) << row.name;
        EXPECT_EQ(sink.strokes, 8 * int64_t{rows}) << row.name;
        if (row.exactRows >= 0) {
            EXPECT_EQ(rows, row.exactRows) << row.name;
        }
    }

    // Whole runs with settings that drive the scale to 0 and below.
    const SaverSettings extremes[] = {{4, 600, 150, 250.0f}, {4, -5, 150, -INFINITY}, {4, 0, 0, 250.0f},
                                      {4, 50, -1, -1e30f}, {-7, INT32_MIN, INT32_MAX, 250.0f}};
    for (const SaverSettings& settings : extremes) {
        AnimationState state;
        state.angleStep = AngleStepForSpeed(settings.speed);
        CountingSink sink;
        for (int frame = 0; frame < 1500; ++frame) {
            StepAnimation(state, settings);
            ASSERT_LE(TraceCurveRows(state, settings.margin, 800, 600, sink), 800 + 600 + 16);
            AdvanceAngle(state);
        }
    }
}

// The premise of the visibility cut-off: every stroke of row k, as handed over, stays at least
// k - 3 - 1.415|drift| from the centre, so rows past the cut-off cannot reach the surface.
TEST(TraceCurveRows, RowKStaysFarFromTheCentre) {
    struct Row {
        float scale;
        int32_t drift;
        float angle;
        int32_t width;
        int32_t height;
    };
    const Row table[] = {{0.0f, 50, 0.3f, 800, 600},  {0.05f, 0, 2.0f, 800, 600},   {-0.5f, -120, 4.0f, 1024, 767},
                         {1.0f, 50, 5.0f, 640, 480},  {0.01f, 300, 1.0f, 799, 599}, {-3.0f, 7, 6.0f, 3840, 2160}};
    for (const Row& row : table) {
        const Frame frame = Trace(StateWith(row.scale, row.drift, row.angle), -INFINITY, row.width, row.height);
        ASSERT_GT(frame.rows, 10);
        for (int32_t k = 1; k <= frame.rows; ++k) {
            const double bound = k - 3 - 1.415 * std::abs(row.drift);
            for (int stroke = 0; stroke < 8; ++stroke) {
                const Line& line = frame.lines[(k - 1) * 8 + stroke];
                ASSERT_GE(SegmentDistance(line, row.width / 2.0, row.height / 2.0), bound)
                    << "scale " << row.scale << " row " << k << " stroke " << stroke + 1;
            }
        }
    }
}
