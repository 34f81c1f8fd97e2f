#pragma once
// Starting corvantis.scr as a separate process and reading its full 32-bit exit code.
#include <windows.h>

#include <string>

// The folder of the running test executable; corvantis.scr and the doubles are built beside it.
std::string ExecutableFolder();
// corvantis.scr beside the test executable.
std::string BuiltSaverPath();

struct SaverProcess {
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
    DWORD id = 0;
};

// Starts saverPath with the command line "<saverPath in quotes> <tail>". With suspended set, the
// process waits until ResumeSaverProcess (so that a watch can be in place before it runs). The
// child inherits this process's environment. On failure the record holds no process.
SaverProcess StartSaverProcess(const std::string& tail, const std::string& saverPath = BuiltSaverPath(),
                               bool suspended = false);
void ResumeSaverProcess(const SaverProcess& saver);

bool SaverProcessRunning(const SaverProcess& saver);

// Waits at most timeoutMs for the process to end, dispatching this thread's messages meanwhile (the
// saver may send messages to windows of the test). True when it ended; then exitCode holds the full
// 32-bit code from GetExitCodeProcess.
bool WaitForSaverExit(const SaverProcess& saver, DWORD timeoutMs, DWORD* exitCode);

// Ends the process if it still runs and closes the handles.
void EndSaverProcess(SaverProcess& saver);

// Starts the saver, waits for its end and returns its exit code; a run that does not end within
// timeoutMs is ended and reported as a test failure (the result is then timedOutExitCode).
constexpr DWORD timedOutExitCode = 0xDEADDEAD;
DWORD RunSaverToEnd(const std::string& tail, DWORD timeoutMs, const std::string& saverPath = BuiltSaverPath());

// How long one saver run may take at most under Wine (a run is usually over in a few seconds).
constexpr DWORD saverRunTimeoutMs = 60000;
