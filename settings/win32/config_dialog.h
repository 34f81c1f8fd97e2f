#pragma once
#include <windows.h>

constexpr int configDialogId = 2003;

int PrepareConfigDialog(HINSTANCE instance);
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
