// A stand-in for the Windows 95 password provider PASSWORD.CPL. Built twice: with the verifier
// entry point VerifyScreenSavePwd (doubles/verify/) and without it (doubles/noentry/). Both record
// their load and unload in the file named by CORVANTIS_VERIFY_LOG.
//
// The verifier is controlled by environment variables, read at each call:
//   CORVANTIS_VERIFY_ANSWERS   answers in call order, e.g. "0,0,7"; the last one repeats; 1 when
//                              unset. The order restarts whenever the module is loaded afresh.
//   CORVANTIS_VERIFY_DELAY_MS  how long the call takes; it dispatches the thread's messages
//                              meanwhile, like a modal password prompt. Without it (and without
//                              CORVANTIS_VERIFY_REENTER) the call dispatches nothing.
//   CORVANTIS_VERIFY_FAULT=1   the call raises an access violation (EXCEPTION_ACCESS_VIOLATION, as
//                              for a write to address 0).
//   CORVANTIS_VERIFY_FAULT=2   the call really writes to address 0. Where 32-bit code runs under
//                              qemu user emulation, Wine reports that as an illegal instruction.
//   CORVANTIS_VERIFY_REENTER=1 the call sends WM_CLOSE to the window, posts another one and
//                              dispatches the thread's messages, as a user pressing keys behind
//                              the prompt would cause (only in the outermost call).
//   CORVANTIS_VERIFY_LOG       file that gets one line per call:
//                              "call <index> <start tick> <end tick> <window, hex> <answer>",
//                              and "reenter <result of the sent WM_CLOSE>" before it when re-entering.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "tests/doubles/double_log.h"

namespace {

constexpr const char* logVariable = "CORVANTIS_VERIFY_LOG";

#ifdef CORVANTIS_VERIFY_ENTRY
// Dispatches every message waiting for this thread; a quit message is put back and ends the pump.
void DispatchPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

unsigned callCount = 0;
int depth = 0;  // calls of the verifier under way that are re-entering

// The answer for call number index (from 0) of the list in CORVANTIS_VERIFY_ANSWERS.
BOOL AnswerFor(unsigned index) {
    char text[512];
    const DWORD length = GetEnvironmentVariableA("CORVANTIS_VERIFY_ANSWERS", text, sizeof text);
    if (length == 0 || length >= sizeof text) {
        return TRUE;
    }
    const char* cursor = text;
    long long answer = 1;
    for (unsigned i = 0; i <= index; ++i) {
        char* end = nullptr;
        answer = std::strtoll(cursor, &end, 0);
        if (*end != ',') {
            break;  // the last answer repeats
        }
        cursor = end + 1;
    }
    return static_cast<BOOL>(answer);
}
#endif

}  // namespace

#ifdef CORVANTIS_VERIFY_ENTRY
extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    const DWORD start = GetTickCount();
    const unsigned index = callCount++;
    const long long fault = EnvNumber("CORVANTIS_VERIFY_FAULT", 0);
    if (fault == 1) {
        // The record a write to address 0 produces.
        const ULONG_PTR details[2] = {1, 0};
        RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 2, details);
    } else if (fault == 2) {
        volatile int* volatile nowhere = nullptr;
        *nowhere = 1;
    }
    char line[160];
    // Only the outermost call re-enters: a verifier called again from inside would otherwise
    // recurse without end.
    if (EnvNumber("CORVANTIS_VERIFY_REENTER", 0) != 0 && depth == 0) {
        ++depth;
        const LRESULT result = SendMessageA(window, WM_CLOSE, 0, 0);
        std::snprintf(line, sizeof line, "reenter %ld", static_cast<long>(result));
        AppendLogLine(logVariable, line);
        PostMessageA(window, WM_CLOSE, 0, 0);
        DispatchPending();
        --depth;
    }
    // Without a delay no message is dispatched, so the caller's queue is seen as it was left.
    const long long delay = EnvNumber("CORVANTIS_VERIFY_DELAY_MS", 0);
    for (DWORD elapsed = 0; delay > 0 && elapsed < static_cast<DWORD>(delay); elapsed = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(delay) - elapsed, QS_ALLINPUT);
        DispatchPending();
    }
    const BOOL answer = AnswerFor(index);
    const DWORD end = GetTickCount();
    std::snprintf(line, sizeof line, "call %u %lu %lu %08lX %d", index, static_cast<unsigned long>(start),
                  static_cast<unsigned long>(end), static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)),
                  answer);
    AppendLogLine(logVariable, line);
    return answer;
}
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    LogAttachment(logVariable, reason, reserved);
    return TRUE;
}
