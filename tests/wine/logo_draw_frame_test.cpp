// DrawLogoFrame on a real window: the pixels it leaves on the screen, the GDI calls it makes and
// the objects it gives back.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "logo/animation_state.h"
#include "logo/curve_rows.h"
#include "logo/surface_size.h"
#include "logo/win32/draw_logo_frame.h"
#include "settings/saver_settings.h"

namespace {

constexpr int windowWidth = 800;
constexpr int windowHeight = 600;
constexpr SaverSettings defaults = {4, 50, 150, 250.0f};
constexpr COLORREF black = RGB(0, 0, 0);
constexpr COLORREF marker = RGB(0, 0, 200);

// ---- The window ---------------------------------------------------------------------------------

// A plain top-most popup of 800 x 600 at the screen's corner, with no background brush, so that
// nothing but the test draws into it.
HWND CreateTestWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "CorvantisFrameTestClass";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "frame test",
                                  WS_POPUP | WS_VISIBLE, 0, 0, windowWidth, windowHeight, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    // Let the window settle: its first paint and activation messages, at most two seconds.
    const DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < 2000) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (GetQueueStatus(QS_ALLINPUT) == 0) break;
            continue;
        }
        DispatchMessageA(&message);
    }
    return window;
}

void FillWindow(HWND window, COLORREF colour) {
    HDC dc = GetDC(window);
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT whole = {0, 0, windowWidth, windowHeight};
    FillRect(dc, &whole, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

// The window's pixels as COLORREF values, row by row from the top.
std::vector<COLORREF> ReadWindowPixels(HWND window) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = windowWidth;
    info.bmiHeader.biHeight = -windowHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HGDIOBJ oldBitmap = SelectObject(memoryDc, dib);
    BitBlt(memoryDc, 0, 0, windowWidth, windowHeight, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(windowWidth * windowHeight);
    const auto* source = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t p = source[i];
        pixels[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    SelectObject(memoryDc, oldBitmap);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    DeleteObject(dib);
    return pixels;
}

void ResetAnimation(const SaverSettings& settings, int32_t width, int32_t height) {
    saverSettings = settings;
    animationState = AnimationState{};
    animationState.angleStep = AngleStepForSpeed(settings.speed);
    surfaceWidth = width;
    surfaceHeight = height;
}

// ---- The frame the core describes, rasterized --------------------------------------------------

int64_t FloorDivide(int64_t numerator, int64_t denominator) {
    const int64_t quotient = numerator / denominator;
    return (numerator % denominator != 0 && (numerator < 0) != (denominator < 0)) ? quotient - 1
                                                                                   : quotient;
}

// The pixels of a one-pixel solid line as Wine's GDI lights them: one pixel per step along the
// major axis, the end point left out; the minor coordinate is the exact line's value rounded to the
// nearest pixel, and a tie goes to the upper (or, for a steep line, the left) pixel whichever way
// the line runs.
template <typename Plot>
void RasterizeLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, Plot plot) {
    const int64_t dx = x1 - x0;
    const int64_t dy = y1 - y0;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const int64_t major = xMajor ? dx : dy;
    const int64_t minor = xMajor ? dy : dx;
    const int64_t steps = major < 0 ? -major : major;
    const int64_t direction = major < 0 ? -1 : 1;
    for (int64_t n = 0; n < steps; ++n) {
        // The exact minor offset is n * minor / steps; rounded half down it is
        // ceil((2 n minor - steps) / (2 steps)).
        const int64_t offset = -FloorDivide(-(2 * n * minor - steps), 2 * steps);
        if (xMajor) {
            plot(x0 + n * direction, y0 + offset);
        } else {
            plot(x0 + offset, y0 + n * direction);
        }
    }
}

struct PixelSink : StrokeSink {
    int32_t width;
    int32_t height;
    std::vector<uint8_t> lit;
    PixelSink(int32_t w, int32_t h) : width(w), height(h), lit(static_cast<size_t>(w) * h, 0) {}
    void Stroke(int32_t x0, int32_t y0, int32_t x1, int32_t y1) override {
        RasterizeLine(x0, y0, x1, y1, [this](int64_t x, int64_t y) {
            if (x >= 0 && x < width && y >= 0 && y < height) lit[y * width + x] = 1;
        });
    }
};

struct StrokeRecorder : StrokeSink {
    std::vector<int32_t> ends;
    void Stroke(int32_t x0, int32_t y0, int32_t x1, int32_t y1) override {
        ends.insert(ends.end(), {x0, y0, x1, y1});
    }
};

struct ExpectedFrame {
    COLORREF pen;
    std::vector<uint8_t> lit;  // window-sized; 1 where a stroke lights the pixel
    int32_t litCount;
};

// The next frame as the core computes it from the current animation state (left unchanged).
ExpectedFrame PredictNextFrame() {
    AnimationState state = animationState;
    const COLORREF pen = PenColour(StepAnimation(state, saverSettings));
    PixelSink sink(windowWidth, windowHeight);
    TraceCurveRows(state, saverSettings.margin, surfaceWidth, surfaceHeight, sink);
    int32_t litCount = 0;
    for (uint8_t on : sink.lit) litCount += on;
    return {pen, sink.lit, litCount};
}

// Compares the window with the expected frame; returns the number of differing pixels and
// describes the first few.
int CountMismatches(const std::vector<COLORREF>& pixels, const ExpectedFrame& expected,
                    std::string& firstFew) {
    int mismatches = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const COLORREF want = expected.lit[i] ? expected.pen : black;
        if (pixels[i] == want) continue;
        if (++mismatches <= 8) {
            char line[96];
            std::snprintf(line, sizeof line, " (%d,%d) is %06lx, expected %06lx",
                          static_cast<int>(i % windowWidth), static_cast<int>(i / windowWidth),
                          static_cast<unsigned long>(pixels[i]), static_cast<unsigned long>(want));
            firstFew += line;
        }
    }
    return mismatches;
}

// ---- The GDI calls of a frame, recorded through the executable's import table -------------------
// DrawLogoFrame is linked into this executable, so its platform calls go through the executable's
// own import slots; pointing a slot at a recording function observes every call in order.

struct Call {
    std::string name;
    std::vector<uintptr_t> values;  // the arguments, then the result
};

std::vector<Call> calls;

template <typename T>
uintptr_t Value(T value) {
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<uintptr_t>(value);
    } else {
        return static_cast<uintptr_t>(value);
    }
}

template <typename Result, typename... Args>
Result Recorded(const char* name, Result result, Args... args) {
    calls.push_back({name, {Value(args)..., Value(result)}});
    return result;
}

// The import slot through which this executable calls functionName of dllName, or null.
void** FindImportSlot(const char* dllName, const char* functionName) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; descriptor->Name != 0; ++descriptor) {
        const auto* name = reinterpret_cast<const char*>(base + descriptor->Name);
        if (lstrcmpiA(name, dllName) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), functionName) == 0) {
                return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
    }
    return nullptr;
}

void* SwapImport(const char* dllName, const char* functionName, void* replacement) {
    void** slot = FindImportSlot(dllName, functionName);
    if (slot == nullptr) return nullptr;
    DWORD oldProtection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &oldProtection);
    void* previous = *slot;
    *slot = replacement;
    VirtualProtect(slot, sizeof *slot, oldProtection, &oldProtection);
    FlushInstructionCache(GetCurrentProcess(), slot, sizeof *slot);
    return previous;
}

// One recording replacement per platform function the renderer calls; each forwards to the
// original it displaced.
#define RECORDING_HOOK(Result, Function, Params, Args)                    \
    Result(WINAPI* original##Function) Params = nullptr;                   \
    Result WINAPI Record##Function Params {                                \
        return Recorded(#Function, original##Function Args, UNPACK_ARGS Args); \
    }
#define UNPACK_ARGS(...) __VA_ARGS__

RECORDING_HOOK(HDC, GetDC, (HWND w), (w))
RECORDING_HOOK(int, ReleaseDC, (HWND w, HDC dc), (w, dc))
RECORDING_HOOK(HDC, CreateCompatibleDC, (HDC dc), (dc))
RECORDING_HOOK(HBITMAP, CreateCompatibleBitmap, (HDC dc, int w, int h), (dc, w, h))
RECORDING_HOOK(HGDIOBJ, SelectObject, (HDC dc, HGDIOBJ o), (dc, o))
RECORDING_HOOK(HPEN, CreatePen, (int s, int w, COLORREF c), (s, w, c))
RECORDING_HOOK(HGDIOBJ, GetStockObject, (int i), (i))
RECORDING_HOOK(BOOL, MoveToEx, (HDC dc, int x, int y, LPPOINT p), (dc, x, y, p))
RECORDING_HOOK(BOOL, LineTo, (HDC dc, int x, int y), (dc, x, y))
RECORDING_HOOK(BOOL, BitBlt,
               (HDC d, int x, int y, int w, int h, HDC s, int sx, int sy, DWORD r),
               (d, x, y, w, h, s, sx, sy, r))
RECORDING_HOOK(BOOL, DeleteObject, (HGDIOBJ o), (o))
RECORDING_HOOK(BOOL, DeleteDC, (HDC dc), (dc))

int(WINAPI* originalFillRect)(HDC, const RECT*, HBRUSH) = nullptr;
int WINAPI RecordFillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    calls.push_back({"FillRect",
                     {Value(dc), Value(rect->left), Value(rect->top), Value(rect->right),
                      Value(rect->bottom), Value(brush)}});
    return originalFillRect(dc, rect, brush);
}

struct Hook {
    const char* dll;
    const char* name;
    void* replacement;
    void** original;
};

#define HOOK_ENTRY(dll, Function)                                                \
    {dll, #Function, reinterpret_cast<void*>(Record##Function),                  \
     reinterpret_cast<void**>(&original##Function)}

const Hook hooks[] = {
    HOOK_ENTRY("user32.dll", GetDC),          HOOK_ENTRY("user32.dll", ReleaseDC),
    HOOK_ENTRY("user32.dll", FillRect),       HOOK_ENTRY("gdi32.dll", CreateCompatibleDC),
    HOOK_ENTRY("gdi32.dll", CreateCompatibleBitmap), HOOK_ENTRY("gdi32.dll", SelectObject),
    HOOK_ENTRY("gdi32.dll", CreatePen),       HOOK_ENTRY("gdi32.dll", GetStockObject),
    HOOK_ENTRY("gdi32.dll", MoveToEx),        HOOK_ENTRY("gdi32.dll", LineTo),
    HOOK_ENTRY("gdi32.dll", BitBlt),          HOOK_ENTRY("gdi32.dll", DeleteObject),
    HOOK_ENTRY("gdi32.dll", DeleteDC),
};

bool StartRecording() {
    calls.clear();
    for (const Hook& hook : hooks) {
        *hook.original = SwapImport(hook.dll, hook.name, hook.replacement);
        if (*hook.original == nullptr) return false;
    }
    return true;
}

void StopRecording() {
    for (const Hook& hook : hooks) {
        if (*hook.original != nullptr) SwapImport(hook.dll, hook.name, *hook.original);
    }
}

std::string Describe(const Call& call) {
    std::string text = call.name + "(";
    for (size_t i = 0; i < call.values.size(); ++i) {
        text += (i == 0 ? "" : ",") + std::to_string(call.values[i]);
    }
    return text + ")";
}

// ---- Tests --------------------------------------------------------------------------------------

class DrawLogoFrameTest : public testing::Test {
protected:
    static void SetUpTestSuite() { window = CreateTestWindow(); }
    static void TearDownTestSuite() { DestroyWindow(window); }
    static HWND window;
};
HWND DrawLogoFrameTest::window = nullptr;

// Whole-surface comparison against the core's strokes: the pen colour on exactly the pixels the
// strokes light, black everywhere else. Frames 0 and 1 start the colour cycle at angle 0 and 0.04;
// frame 255 is pure red, turned by about 10.2 radians, at a smaller scale and drift.
TEST_F(DrawLogoFrameTest, FramesMatchTheCoreStrokesPixelForPixel) {
    ASSERT_NE(window, nullptr);
    ResetAnimation(defaults, windowWidth, windowHeight);
    const struct {
        int frame;
        COLORREF pen;
    } checked[] = {{0, RGB(0, 255, 0)}, {1, RGB(1, 254, 0)}, {255, RGB(255, 0, 0)}};
    int frame = 0;
    for (const auto& check : checked) {
        for (; frame < check.frame; ++frame) DrawLogoFrame(window);
        SCOPED_TRACE("frame " + std::to_string(frame));
        FillWindow(window, marker);
        const ExpectedFrame expected = PredictNextFrame();
        DrawLogoFrame(window);
        ++frame;
        EXPECT_EQ(expected.pen, check.pen);
        EXPECT_GT(expected.litCount, 1000);
        std::string firstFew;
        EXPECT_EQ(CountMismatches(ReadWindowPixels(window), expected, firstFew), 0) << firstFew;
    }
}

// A surface smaller than the window replaces only its own part of the window, black; a 0 x 0 one
// replaces nothing. Neither draws a stroke, and the colour still steps.
TEST_F(DrawLogoFrameTest, SmallAndEmptySurfacesCopyOnlyBlack) {
    const struct {
        int32_t width;
        int32_t height;
    } surfaces[] = {{0, 0}, {333, 250}, {1, 1}};
    for (const auto& surface : surfaces) {
        SCOPED_TRACE(std::to_string(surface.width) + "x" + std::to_string(surface.height));
        ResetAnimation(defaults, surface.width, surface.height);
        FillWindow(window, marker);
        DrawLogoFrame(window);
        EXPECT_EQ(animationState.colourLevel, 1);
        const std::vector<COLORREF> pixels = ReadWindowPixels(window);
        int mismatches = 0;
        for (int y = 0; y < windowHeight; ++y) {
            for (int x = 0; x < windowWidth; ++x) {
                const bool inside = x < surface.width && y < surface.height;
                mismatches += pixels[y * windowWidth + x] != (inside ? black : marker);
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
}

// One frame's platform calls in order, each with the objects the earlier ones gave. (Wine accepts
// DeleteObject on a pen still selected and frees it with the device context, so only the order
// shows a pen deleted too early.)
TEST_F(DrawLogoFrameTest, MakesTheFrameCallsInOrderAndGivesEveryObjectBack) {
    ResetAnimation(defaults, windowWidth, windowHeight);
    AnimationState before = animationState;
    const COLORREF pen = PenColour(StepAnimation(before, saverSettings));
    StrokeRecorder strokes;
    TraceCurveRows(before, saverSettings.margin, windowWidth, windowHeight, strokes);

    ASSERT_TRUE(StartRecording());
    DrawLogoFrame(window);
    StopRecording();

    std::vector<int32_t> drawnEnds;
    std::vector<std::string> sequence;
    for (const Call& call : calls) {
        if (call.name == "MoveToEx" || call.name == "LineTo") {
            drawnEnds.push_back(static_cast<int32_t>(call.values[1]));
            drawnEnds.push_back(static_cast<int32_t>(call.values[2]));
        } else {
            sequence.push_back(Describe(call));
        }
    }
    ASSERT_GE(calls.size(), 8u);
    const uintptr_t windowDc = calls[0].values.back();
    const uintptr_t memoryDc = calls[1].values.back();
    const uintptr_t bitmap = calls[2].values.back();
    const uintptr_t oldBitmap = calls[3].values.back();
    const uintptr_t penHandle = calls[4].values.back();
    const uintptr_t brush = calls[5].values.back();
    const uintptr_t oldPen = calls[7].values.back();
    const uintptr_t w = windowWidth;
    const uintptr_t h = windowHeight;
    const uintptr_t succeeded = TRUE;  // the renderer does not look, but the releases must work
    const std::vector<Call> expectedCalls = {
        {"GetDC", {Value(window), windowDc}},
        {"CreateCompatibleDC", {windowDc, memoryDc}},
        {"CreateCompatibleBitmap", {windowDc, w, h, bitmap}},
        {"SelectObject", {memoryDc, bitmap, oldBitmap}},
        {"CreatePen", {PS_SOLID, 1, pen, penHandle}},
        {"GetStockObject", {BLACK_BRUSH, brush}},
        {"FillRect", {memoryDc, 0, 0, w, h, brush}},
        {"SelectObject", {memoryDc, penHandle, oldPen}},
        {"BitBlt", {windowDc, 0, 0, w, h, memoryDc, 0, 0, SRCCOPY, succeeded}},
        {"SelectObject", {memoryDc, oldPen, penHandle}},
        {"ReleaseDC", {Value(window), windowDc, succeeded}},
        {"DeleteObject", {penHandle, succeeded}},
        {"SelectObject", {memoryDc, oldBitmap, bitmap}},
        {"DeleteObject", {bitmap, succeeded}},
        {"DeleteDC", {memoryDc, succeeded}},
    };
    std::vector<std::string> expectedSequence;
    for (const Call& call : expectedCalls) expectedSequence.push_back(Describe(call));
    EXPECT_EQ(sequence, expectedSequence);
    EXPECT_EQ(drawnEnds, strokes.ends);

    // Every MoveToEx/LineTo pair draws one stroke into the memory device context, with no old
    // position asked for; the strokes come after the pen is selected and before the copy.
    size_t firstStroke = 0;
    while (firstStroke < calls.size() && calls[firstStroke].name != "MoveToEx") ++firstStroke;
    ASSERT_EQ(firstStroke, 8u);
    for (size_t i = firstStroke; i < firstStroke + drawnEnds.size() / 2; ++i) {
        EXPECT_EQ(calls[i].name, (i - firstStroke) % 2 == 0 ? "MoveToEx" : "LineTo");
        EXPECT_EQ(calls[i].values[0], memoryDc);
        if (calls[i].name == "MoveToEx") {
            EXPECT_EQ(calls[i].values[3], 0u);
        }
    }
}

// Nothing outlives its frame: every object a frame creates is gone when it returns, and the
// process's count of GDI objects is the same after 200 frames. (Wine's GetGuiResources always
// answers 0, so there the first check is the one that counts.)
TEST_F(DrawLogoFrameTest, FramesLeaveNoGdiObjectsBehind) {
    ResetAnimation(defaults, windowWidth, windowHeight);
    DrawLogoFrame(window);
    const DWORD objectsBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    int leftOver = 0;
    int unreleasedDcs = 0;
    for (int frame = 0; frame < 200; ++frame) {
        ASSERT_TRUE(StartRecording());
        DrawLogoFrame(window);
        StopRecording();
        for (const Call& call : calls) {
            if (call.name == "CreateCompatibleDC" || call.name == "CreateCompatibleBitmap" ||
                call.name == "CreatePen") {
                leftOver += GetObjectType(reinterpret_cast<HGDIOBJ>(call.values.back())) != 0;
            }
            if (call.name == "GetDC") ++unreleasedDcs;
            if (call.name == "ReleaseDC") --unreleasedDcs;
        }
    }
    EXPECT_EQ(leftOver, 0);
    EXPECT_EQ(unreleasedDcs, 0);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), objectsBefore);
}

}  // namespace
