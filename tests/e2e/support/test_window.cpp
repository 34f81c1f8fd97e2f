#include "tests/e2e/support/test_window.h"

HWND CreateTestWindow(const char* title, int x, int y, int width, int height) {
    static ATOM registered = 0;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "CorvantisE2eWindow";
    if (registered == 0) registered = RegisterClassA(&windowClass);
    return CreateWindowExA(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y,
                           width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
}
