#pragma once
#include <windows.h>

// Helpers of the password-service doubles. Every control is an environment variable read at the
// moment it is needed, so a test can change it in its own process or hand it to a child process.

// The value of the environment variable name as a number (decimal, or hex with 0x); fallback when
// it is unset or empty.
long long EnvNumber(const char* name, long long fallback);

// Appends one line (a newline is added) to the file named by the environment variable logVariable;
// nothing when that variable is unset.
void AppendLogLine(const char* logVariable, const char* line);

// Records the module's load and unload ("attach", "detach free" for FreeLibrary, "detach exit" at
// process end) in the file named by logVariable.
void LogAttachment(const char* logVariable, DWORD reason, LPVOID reserved);
