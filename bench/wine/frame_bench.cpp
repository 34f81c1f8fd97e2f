// Frame benchmark: DrawLogoFrame on a 1920 x 1080 window, timed against "empty" frames that create,
// fill, copy and release the same objects but draw no strokes. Both kinds run alternately in blocks
// within one run, and each frame ends with a look at the message queue, as the saver's loop does.
//
// Usage: frame_bench [frames per case]   (default 200)
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "logo/animation_state.h"
#include "logo/curve_rows.h"
#include "logo/surface_size.h"
#include "logo/win32/draw_logo_frame.h"
#include "settings/saver_settings.h"

namespace {

constexpr int32_t benchWidth = 1920;
constexpr int32_t benchHeight = 1080;
constexpr int blockFrames = 10;
constexpr SaverSettings defaults = {4, 50, 150, 250.0f};

HWND CreateBenchWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "CorvantisFrameBenchClass";
    RegisterClassA(&windowClass);
    return CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "frame bench",
                           WS_POPUP | WS_VISIBLE, 0, 0, benchWidth, benchHeight, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// DrawLogoFrame without the curve: the same objects, fill, copy and state steps.
void DrawEmptyFrame(HWND window) {
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, surfaceWidth, surfaceHeight);
    HGDIOBJ oldBitmap = SelectObject(memoryDc, bitmap);
    HPEN pen = CreatePen(PS_SOLID, 1, PenColour(StepAnimation(animationState, saverSettings)));
    const RECT whole = {0, 0, surfaceWidth, surfaceHeight};
    FillRect(memoryDc, &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HGDIOBJ oldPen = SelectObject(memoryDc, pen);
    BitBlt(windowDc, 0, 0, surfaceWidth, surfaceHeight, memoryDc, 0, 0, SRCCOPY);
    SelectObject(memoryDc, oldPen);
    ReleaseDC(window, windowDc);
    DeleteObject(pen);
    AdvanceAngle(animationState);
    SelectObject(memoryDc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
}

struct RowCounter : StrokeSink {
    void Stroke(int32_t, int32_t, int32_t, int32_t) override {}
};

int32_t RowsOfNextFrame(const AnimationState& current) {
    AnimationState state = current;
    StepAnimation(state, saverSettings);
    RowCounter sink;
    return TraceCurveRows(state, saverSettings.margin, surfaceWidth, surfaceHeight, sink);
}

// A fresh animation with the settings, advanced by the given number of frames (core only).
AnimationState StateAfter(const SaverSettings& settings, int32_t frames) {
    saverSettings = settings;
    AnimationState state;
    state.angleStep = AngleStepForSpeed(settings.speed);
    for (int32_t frame = 0; frame < frames; ++frame) {
        StepAnimation(state, settings);
        AdvanceAngle(state);
    }
    return state;
}

// The frame count, from `first` to `first + frames - 1`, after which the next frame has the most
// rows.
int32_t FramesBeforeMostRows(const SaverSettings& settings, int32_t first, int32_t frames) {
    AnimationState state = StateAfter(settings, first);
    int32_t best = first;
    int32_t bestRows = -1;
    for (int32_t frame = first; frame < first + frames; ++frame) {
        const int32_t rows = RowsOfNextFrame(state);
        if (rows > bestRows) {
            bestRows = rows;
            best = frame;
        }
        StepAnimation(state, settings);
        AdvanceAngle(state);
    }
    return best;
}

double Milliseconds(LARGE_INTEGER start, LARGE_INTEGER end) {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

struct Timing {
    double frameMs;
    double emptyMs;
    double geometryMs;  // the strokes computed by the core alone, not drawn
};

// Times `frames` whole and `frames` empty frames in alternating blocks. With `repeat`, every frame
// starts from that state, so the same frame is drawn each time; otherwise the animation runs on.
Timing TimeFrames(HWND window, int frames, const AnimationState* repeat) {
    double total[2] = {0.0, 0.0};
    AnimationState running[2] = {animationState, animationState};
    for (int done = 0; done < frames; done += blockFrames) {
        for (int kind = 0; kind < 2; ++kind) {
            animationState = running[kind];
            LARGE_INTEGER start;
            LARGE_INTEGER end;
            QueryPerformanceCounter(&start);
            for (int i = 0; i < blockFrames; ++i) {
                if (repeat != nullptr) animationState = *repeat;
                if (kind == 0) {
                    DrawLogoFrame(window);
                } else {
                    DrawEmptyFrame(window);
                }
                PumpMessages();
            }
            QueryPerformanceCounter(&end);
            total[kind] += Milliseconds(start, end);
            running[kind] = animationState;
        }
    }
    const int timed = (frames + blockFrames - 1) / blockFrames * blockFrames;

    AnimationState state = running[0];
    RowCounter sink;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < timed; ++i) {
        if (repeat != nullptr) state = *repeat;
        StepAnimation(state, saverSettings);
        TraceCurveRows(state, saverSettings.margin, surfaceWidth, surfaceHeight, sink);
        AdvanceAngle(state);
    }
    QueryPerformanceCounter(&end);
    return {total[0] / timed, total[1] / timed, Milliseconds(start, end) / timed};
}

void Report(const char* name, const Timing& timing, int32_t rows) {
    std::printf("%-38s %5d rows  frame %6.2f ms  empty %6.2f ms  ratio %5.2f  geometry %6.3f ms\n",
                name, static_cast<int>(rows), timing.frameMs, timing.emptyMs,
                timing.frameMs / timing.emptyMs, timing.geometryMs);
    std::fflush(stdout);
}

// Times one fixed frame: the one after `frames` frames with the settings.
void TimeFixedFrame(HWND window, const char* name, const SaverSettings& settings, int32_t frames,
                    int count) {
    const AnimationState state = StateAfter(settings, frames);
    animationState = state;
    Report(name, TimeFrames(window, count, &state), RowsOfNextFrame(state));
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(blockFrames, std::atoi(argv[1])) : 200;
    HWND window = CreateBenchWindow();
    PumpMessages();
    surfaceWidth = benchWidth;
    surfaceHeight = benchHeight;
    std::printf("%d x %d, %d frames per case and kind, in blocks of %d\n", benchWidth,
                benchHeight, count, blockFrames);

    // The running animation with the default settings, from the first frame on.
    animationState = StateAfter(defaults, 0);
    const int32_t firstRows = RowsOfNextFrame(animationState);
    Report("defaults, running from frame 0", TimeFrames(window, count, nullptr), firstRows);

    // The most rows of the default cycle: the lowest scale.
    TimeFixedFrame(window, "defaults, frame with the most rows", defaults,
                   FramesBeforeMostRows(defaults, 0, 500), count);

    // xOffset 499: the drift runs down to 0 and the scale to about 0.
    const SaverSettings nearZeroScale = {4, 499, 150, 250.0f};
    TimeFixedFrame(window, "xOffset 499, scale near 0", nearZeroScale,
                   FramesBeforeMostRows(nearZeroScale, 0, 1200), count);

    // A negative xOffset: drift and scale fall without end. Whether a frame has rows at all depends
    // on the angle, so the frame with the most rows within a turn (about 157 frames) after 10,000
    // frames: the row cap.
    const SaverSettings negativeOffset = {4, -1, 150, 250.0f};
    TimeFixedFrame(window, "xOffset -1, ~10,000 frames", negativeOffset,
                   FramesBeforeMostRows(negativeOffset, 10000, 160), count);

    // No margin: the rows never reach it.
    const SaverSettings noMargin = {4, 50, 150, -INFINITY};
    TimeFixedFrame(window, "margin -inf, first frame", noMargin, 0, count);
    TimeFixedFrame(window, "margin -inf, frame with the most rows", noMargin,
                   FramesBeforeMostRows(noMargin, 0, 500), count);

    DestroyWindow(window);
    return 0;
}
