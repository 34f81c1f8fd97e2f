#include <windows.h>

#include "host/win32/start_up.h"

// The GUI entry point: the arguments are not used; StartSaver reads the command line itself and
// ends the process, so the run-time's own exit processing never runs.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    StartSaver();
}
