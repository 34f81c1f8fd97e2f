#pragma once
// User input as the saver sees it: keyboard and button input through SendInput (it reaches the
// foreground window), pointer motion through SetCursorPos (Wine moves the X pointer).
#include <windows.h>

void PressKey(WORD virtualKey);
void PressLeftButton();
void MoveCursorTo(int x, int y);
