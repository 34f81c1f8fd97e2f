#include "host/win32/fault_guard.h"

#include "host/win32/password_lock.h"

// The system calls a frame's handler only when the image allows it. GNU ld writes no safe-handler
// table and does not mark the image as having no handlers, so any handler inside the image is
// accepted; the image tests check that the built executable stays so.

EXCEPTION_DISPOSITION __cdecl FaultGuardHandler(EXCEPTION_RECORD* record, void*, CONTEXT* context,
                                                void*) {
    // During an unwind the dispatcher only asks each frame to clean up; the guard has nothing to
    // clean.
    if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0) {
        return ExceptionContinueSearch;
    }
    EXCEPTION_POINTERS pointers = {record, context};
    switch (UnhandledExceptionFilter(&pointers)) {
    case EXCEPTION_EXECUTE_HANDLER:
        SetSaverRunning(0);
        // The process ends here, on the faulting stack: nothing above this frame is unwound, since
        // nothing of the process outlives this call. The exit code is the fault's own code, so a
        // fault is never reported as a mode's result (0 would read as success).
        ExitProcess(record->ExceptionCode);
    case EXCEPTION_CONTINUE_EXECUTION:
        return ExceptionContinueExecution;
    default:
        return ExceptionContinueSearch;
    }
}

__attribute__((noinline)) int RunUnderFaultGuard(GuardedRoutine routine, const void* argument) {
    // The frame lives on this function's stack for the routine's whole run; fs:[0] is the head of
    // the thread's handler chain.
    EXCEPTION_REGISTRATION_RECORD frame;
    frame.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(FaultGuardHandler);
    asm volatile("movl %%fs:0, %0" : "=r"(frame.Next));
    asm volatile("movl %0, %%fs:0" : : "r"(&frame) : "memory");
    const int result = routine(argument);
    asm volatile("movl %0, %%fs:0" : : "r"(frame.Next) : "memory");
    return result;
}
