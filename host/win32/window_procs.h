#pragma once
#include <windows.h>

// The class procedure of the saver window: the host layer, first of the three.
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The last layer before DefWindowProcA: input becomes a close request, the password lock applies.
LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
