#pragma once
// Helpers for tests that make real windows of the saver's class in the test process.
#include <windows.h>

#include <functional>

#include "host/win32/host_state.h"
#include "host/win32/window_procs.h"
#include "logo/animation_state.h"
#include "logo/surface_size.h"
#include "logo/win32/logo_saver_proc.h"

inline constexpr char testSaverClass[] = "WindowsScreenSaverClass";

// Back to the state of a freshly started process.
inline void ResetSaverGlobals() {
    hostState = HostState{};
    hostState.instance = GetModuleHandleA(nullptr);
    animationState = AnimationState{};
    isPreview = 0;
    frameTimer = 0;
    surfaceWidth = 0;
    surfaceHeight = 0;
}

inline void RegisterTestSaverClass() {
    WNDCLASSA saverClass = {};
    saverClass.style = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    saverClass.lpfnWndProc = HostWindowProc;
    saverClass.hInstance = GetModuleHandleA(nullptr);
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saverClass.lpszClassName = testSaverClass;
    RegisterClassA(&saverClass);
}

// Dispatches messages until the condition holds or the time is up; returns the condition.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Takes one pending WM_CLOSE of the window off the queue; true when there was one.
inline bool TakePostedClose(HWND window) {
    MSG message;
    return PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0;
}

// Removes a pending WM_QUIT (posted by the window's WM_DESTROY) so later tests start clean.
inline void DrainQuit() {
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

// Moves the pointer and waits (bounded) until the system reports it there.
inline bool MoveCursorTo(int x, int y) {
    SetCursorPos(x, y);
    return PumpUntil([&] {
        POINT p;
        return GetCursorPos(&p) && p.x == x && p.y == y;
    }, 2000);
}
