#include "logo/win32/draw_logo_frame.h"

#include "logo/animation_state.h"
#include "logo/curve_rows.h"
#include "logo/surface_size.h"
#include "settings/saver_settings.h"

namespace {

// Draws each stroke as a one-pixel line with the device context's selected pen.
struct GdiStrokeSink : StrokeSink {
    HDC target;
    explicit GdiStrokeSink(HDC dc) : target(dc) {}
    void Stroke(int32_t x0, int32_t y0, int32_t x1, int32_t y1) override {
        MoveToEx(target, x0, y0, nullptr);
        LineTo(target, x1, y1);
    }
};

}  // namespace

// Every object of the frame is created here and released before returning; no result is tested,
// so a failed creation leaves at worst one frame incomplete.
void DrawLogoFrame(HWND window) {
    const int32_t width = surfaceWidth;
    const int32_t height = surfaceHeight;

    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, width, height);
    HGDIOBJ oldBitmap = SelectObject(memoryDc, bitmap);

    // The state steps before anything is drawn; the pen has the level from before the colour step.
    const int32_t penLevel = StepAnimation(animationState, saverSettings);
    HPEN pen = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(PenColour(penLevel)));

    const RECT whole = {0, 0, width, height};
    FillRect(memoryDc, &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    HGDIOBJ oldPen = SelectObject(memoryDc, pen);
    GdiStrokeSink sink(memoryDc);
    TraceCurveRows(animationState, saverSettings.margin, width, height, sink);
    BitBlt(windowDc, 0, 0, width, height, memoryDc, 0, 0, SRCCOPY);

    SelectObject(memoryDc, oldPen);
    ReleaseDC(window, windowDc);
    DeleteObject(pen);
    AdvanceAngle(animationState);
    SelectObject(memoryDc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
}
