#pragma once
#include <windows.h>

// Creates the saver window (full screen when parent is null, else a preview child of parent) and
// runs the message loop until the window is destroyed. Returns the WM_QUIT's wParam.
int RunSaverWindow(HWND parent);
