#pragma once
#include <windows.h>

// The structured fault guard around the saver's chosen mode.

// A guarded routine: takes the caller's argument and returns the mode's result.
using GuardedRoutine = int (*)(const void* argument);

// Runs routine(argument) with a 32-bit exception frame linked into the thread's handler chain and
// returns its result. A fault anywhere inside it (window procedures called by the message loop
// included) is shown to UnhandledExceptionFilter; when that answers EXCEPTION_EXECUTE_HANDLER the
// screen-saver-running announcement is withdrawn and the process ends at once with the fault's
// exception code as its exit code.
int RunUnderFaultGuard(GuardedRoutine routine, const void* argument);

// The guard's frame handler, in the form the system's exception dispatcher calls.
EXCEPTION_DISPOSITION __cdecl FaultGuardHandler(EXCEPTION_RECORD* record, void* establisherFrame,
                                                CONTEXT* context, void* dispatcherContext);
