#pragma once
#include <windows.h>

#include <cstdint>

// The saver's own window procedure, between the host layer and SaverDefaultProc.
LRESULT CALLBACK LogoSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

extern int32_t isPreview;
extern UINT_PTR frameTimer;
