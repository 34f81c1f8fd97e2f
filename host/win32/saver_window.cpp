#include "host/win32/saver_window.h"

#include "host/win32/host_state.h"
#include "host/win32/password_lock.h"
#include "host/win32/window_procs.h"

namespace {

constexpr char saverClassName[] = "WindowsScreenSaverClass";
constexpr char fullScreenTitle[] = "Screen Saver";
constexpr char previewTitle[] = "Preview";
constexpr int saverIconId = 100;
constexpr UINT saverClassStyle = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;  // 43

// The message loop serves every window of the thread and goes on through GetMessageA's -1.
int RunMessageLoop() {
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) != 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int RunSaverWindow(HWND parent) {
    WNDCLASSA saverClass = {};
    saverClass.style = saverClassStyle;
    saverClass.lpfnWndProc = HostWindowProc;
    saverClass.hInstance = hostState.instance;
    saverClass.hIcon = LoadIconA(hostState.instance, MAKEINTRESOURCEA(saverIconId));
    saverClass.hCursor = nullptr;
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saverClass.lpszClassName = saverClassName;

    int width, height;
    DWORD style, extendedStyle;
    const char* title;
    if (parent != nullptr) {
        RECT client;
        GetClientRect(parent, &client);
        width = client.right;
        height = client.bottom;
        style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        extendedStyle = 0;
        title = previewTitle;
        hostState.isPreviewChild = 1;
    } else {
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
        style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        extendedStyle = WS_EX_TOPMOST;
        title = fullScreenTitle;
        // One full-screen saver at a time: a second start only raises the first.
        HWND running = FindWindowA(saverClassName, fullScreenTitle);
        if (running != nullptr && IsWindow(running)) {
            SetForegroundWindow(running);
            return 0;
        }
        LoadPasswordLock();
    }

    // A class or window that cannot be made is a failure, reported as such; the lock is still
    // given back.
    int result = -1;
    if (RegisterClassA(&saverClass) != 0) {
        hostState.saverWindow =
            CreateWindowExA(extendedStyle, saverClassName, title, style, 0, 0, width, height,
                            parent, nullptr, hostState.instance, nullptr);
        if (hostState.saverWindow != nullptr) {
            if (!hostState.isPreviewChild) SetForegroundWindow(hostState.saverWindow);
            result = RunMessageLoop();
        }
    }
    ReleasePasswordLock();
    return result;
}
