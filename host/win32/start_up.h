#pragma once
#include <windows.h>

// The executable's entry path: from the command line to one mode and its exit code.

// Takes the command line's tail after the program's path, runs DispatchSaverMode with the
// executable's instance and ends the process with its result. Never returns.
[[noreturn]] void StartSaver();

// Records the instance and the platform family, then chooses and runs one mode under the fault
// guard. Returns the mode's result: 1 or 2 from the dialog, 0 from a saver or change-password run,
// -1 for an unknown switch, a missing or invalid preview handle, or change-password mode outside
// the Windows 95 family.
int DispatchSaverMode(HINSTANCE instance, const char* tail);

// Configure mode: the settings dialog, owned by owner (which may be null). DialogBoxParamA's result.
int RunConfigDialog(HWND owner);

// Preview mode: text begins where the preview window's decimal handle is expected. -1 when the
// handle is missing or is not a window, else the saver window's result.
int RunPreview(const char* text);

// Change-password mode: text as for RunPreview; the handle, when it names a window, is the parent
// of the password service, else the foreground window is. Always 0.
int RunChangePassword(const char* text);
