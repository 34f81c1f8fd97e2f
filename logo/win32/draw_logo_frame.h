#pragma once
#include <windows.h>

// Draws one frame of the animation into the window and advances the animation.
void DrawLogoFrame(HWND window);
