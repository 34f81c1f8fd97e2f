#pragma once
// Finding and watching the saver's windows from outside its process.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

inline constexpr char saverClassName[] = "WindowsScreenSaverClass";
inline constexpr char fullScreenTitle[] = "Screen Saver";
inline constexpr char previewTitle[] = "Preview";
inline constexpr char configDialogCaption[] = "Configure Corvantis Screen Saver";

// Dispatches this thread's messages until condition() holds or timeoutMs have passed; returns the
// condition's last value. Wakes on this thread's messages and, when given, on the handle.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs, HANDLE wakeOn = nullptr);

// The full-screen saver window of any process, or null.
HWND FindFullScreenSaver();

// The top-level window of the process with the given caption (any class), or null.
HWND FindTopLevelWindow(DWORD processId, const char* caption);

// Waits until the process's window is created, visible and the process waits for input.
HWND WaitForFullScreenSaver(HANDLE process, DWORD timeoutMs);

// Every window the process creates while the watch is in place (an out-of-context WinEvent hook on
// EVENT_OBJECT_CREATE; the events arrive as this thread dispatches messages). Start the process
// suspended, begin the watch, then resume it, so that no creation is missed. One watch at a time.
struct CreatedWindowsWatch {
    HWINEVENTHOOK hook = nullptr;
    std::vector<std::string> classNames;  // of the windows created, in order
};
void BeginCreatedWindowsWatch(CreatedWindowsWatch& watch, DWORD processId);
// Takes the events still queued for this thread and ends the watch.
void EndCreatedWindowsWatch(CreatedWindowsWatch& watch);
