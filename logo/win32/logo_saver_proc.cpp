#include "logo/win32/logo_saver_proc.h"

#include "host/win32/command_tail.h"
#include "host/win32/window_procs.h"
#include "logo/animation_state.h"
#include "logo/preview_scan.h"
#include "logo/surface_size.h"
#include "logo/win32/draw_logo_frame.h"
#include "settings/win32/settings_file.h"

int32_t isPreview = 0;
UINT_PTR frameTimer = 0;

namespace {

constexpr UINT_PTR frameTimerId = 1;
constexpr UINT frameInterval = 50;  // milliseconds
constexpr char caption[] = "Corvantis SS";

// Loads the settings and starts the frame timer, unless the command line asks for a preview. Only
// the command-line tail is scanned: a "/" and a "p" in the program's own path must not turn a
// full-screen saver into a preview.
int StartLogoSaver(HWND window) {
    LoadSaverSettings();
    animationState.angleStep = AngleStepForSpeed(saverSettings.speed);
    if (ScanForPreview(CommandLineTail())) isPreview = 1;
    if (!isPreview) frameTimer = SetTimer(window, frameTimerId, frameInterval, nullptr);
    return 1;
}

void StopFrameTimer(HWND window) {
    if (frameTimer != 0) KillTimer(window, frameTimerId);
}

// In full screen a paint only validates: the picture comes from the timer frames. The caption is
// drawn with the device context's defaults (system font, black on an opaque white box).
void PaintPreviewCaption(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (isPreview == 1)
        TextOutA(dc, surfaceWidth / 2 - 45, surfaceHeight / 2 - 5, caption, sizeof caption - 1);
    EndPaint(window, &paint);
}

void SetSurfaceSize(uint32_t width, uint32_t height) {
    surfaceWidth = static_cast<int32_t>(width & 0xFFFF);
    surfaceHeight = static_cast<int32_t>(height & 0xFFFF);
}

}  // namespace

LRESULT CALLBACK LogoSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        StartLogoSaver(window);
        return 0;
    case WM_DESTROY:
        StopFrameTimer(window);
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        SetSurfaceSize(static_cast<uint32_t>(lParam), static_cast<uint32_t>(lParam) >> 16);
        return 0;
    case WM_PAINT:
        PaintPreviewCaption(window);
        return 0;
    case WM_TIMER:
        DrawLogoFrame(window);
        return 0;
    default:
        return SaverDefaultProc(window, message, wParam, lParam);
    }
}
