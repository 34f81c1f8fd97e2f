#pragma once
#include <windows.h>

// A visible top-level window of the test process (default window procedure), at the given place.
HWND CreateTestWindow(const char* title, int x = 40, int y = 40, int width = 320, int height = 240);
