#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "logo/animation_state.h"
#include "logo/curve_rows.h"

namespace {

struct SummingSink : StrokeSink {
    int64_t sum = 0;
    void Stroke(int32_t x0, int32_t y0, int32_t x1, int32_t y1) override {
        sum += int64_t{x0} + y0 + x1 + y1;
    }
};

// One frame's steps and strokes, cycling through the animation as the saver does.
void RunFrames(benchmark::State& bench, int32_t width, int32_t height, const SaverSettings& settings) {
    AnimationState state;
    state.angleStep = AngleStepForSpeed(settings.speed);
    SummingSink sink;
    int64_t rows = 0;
    for (auto _ : bench) {
        StepAnimation(state, settings);
        rows += TraceCurveRows(state, settings.margin, width, height, sink);
        AdvanceAngle(state);
    }
    benchmark::DoNotOptimize(sink.sum);
    bench.counters["rows/frame"] = benchmark::Counter(static_cast<double>(rows) / bench.iterations());
}

void FrameAt800x600(benchmark::State& bench) {
    RunFrames(bench, 800, 600, {4, 50, 150, 250.0f});
}

void FrameAt3840x2160(benchmark::State& bench) {
    RunFrames(bench, 3840, 2160, {4, 50, 150, 250.0f});
}

// The longest frames the settings can produce: scale near 0 or negative with the margin at -inf,
// so only the visibility cut-off (or the row cap, for a huge drift) ends the rows.
struct Extreme {
    float scale;
    int32_t drift;
    float margin;
};
constexpr Extreme extremes[] = {
    {1e-6f, 50, -INFINITY},      // scale near 0: ends at the visibility cut-off
    {-0.2f, 50, -INFINITY},      // negative scale
    {0.0f, INT32_MAX, -INFINITY}, // huge drift: ends at the row cap
};

void WorstFrame(benchmark::State& bench) {
    const Extreme& extreme = extremes[bench.range(2)];
    AnimationState state;
    state.started = true;
    state.scale = extreme.scale;
    state.driftX = state.driftY = extreme.drift;
    state.angle = 0.7f;
    SummingSink sink;
    int32_t rows = 0;
    for (auto _ : bench) {
        rows = TraceCurveRows(state, extreme.margin, static_cast<int32_t>(bench.range(0)),
                              static_cast<int32_t>(bench.range(1)), sink);
    }
    benchmark::DoNotOptimize(sink.sum);
    bench.counters["rows/frame"] = rows;
}

}  // namespace

BENCHMARK(FrameAt800x600);
BENCHMARK(FrameAt3840x2160);
BENCHMARK(WorstFrame)
    ->Unit(benchmark::kMicrosecond)
    ->ArgsProduct({{800}, {600}, {0, 1, 2}})
    ->ArgsProduct({{3840}, {2160}, {0, 1, 2}})
    ->ArgsProduct({{65535}, {65535}, {0, 2}});
