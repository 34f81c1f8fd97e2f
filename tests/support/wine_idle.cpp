#include <windows.h>

// Keeps a Wine prefix's desktop process alive between test programs. Sleeps until it is killed.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Sleep(INFINITE);
    return 0;
}
