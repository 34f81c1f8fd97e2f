#include "host/mouse_travel.h"
#include "host/win32/host_state.h"
#include "host/win32/password_lock.h"
#include "host/win32/window_procs.h"

namespace {

void RequestClose(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
}

// Measured from the anchor, not from the last message: small movements add up until the cursor
// stands beyond the threshold, and a movement back towards the anchor undoes them.
void TestMovement(HWND window) {
    POINT now;
    GetCursorPos(&now);
    const CursorPoint anchor = {hostState.lastCursorPos.x, hostState.lastCursorPos.y};
    if (MovedBeyondThreshold(anchor, {now.x, now.y}, hostState.mouseThreshold)) {
        RequestClose(window);
        hostState.lastCursorPos = now;
    }
}

}  // namespace

LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hostState.isPreviewChild || hostState.closeAllowed)
        return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_CLOSE:
        if (hostState.isWindows95 && !VerifyOnClose(window)) {
            GetCursorPos(&hostState.lastCursorPos);  // movement counts afresh from here
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);

    case WM_SAVER_VERIFY:
        // Sent by VerifyOnClose while verifying is set, so it comes before the verifying test.
        if (!hostState.isWindows95) return DefWindowProcA(window, message, wParam, lParam);
        if (hostState.passwordVerifier != nullptr) return hostState.passwordVerifier(window);
        return 1;
    }

    if (hostState.verifying) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam) SetCursor(nullptr);
        break;
    case WM_ACTIVATEAPP:
        if (!wParam) RequestClose(window);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        RequestClose(window);
        break;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return 1;
    case WM_MOUSEMOVE:
        TestMovement(window);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
