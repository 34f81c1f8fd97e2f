// Reads the screen-saver-running flag (SPI_GETSCREENSAVERRUNNING) and returns it as the exit code.
// A process reads the flag once and keeps that value (Wine caches it per process), so a test that
// wants to see what another process set asks a fresh process: this one.
#include <windows.h>

int main() {
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running ? 1 : 0;
}
