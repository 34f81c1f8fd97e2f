#pragma once
#include <windows.h>
#include <imm.h>

#include <cstdint>

// The password provider's check: asks for the screen-saver password, nonzero when it was right.
typedef BOOL(WINAPI* VerifyScreenSavePwdProc)(HWND window);
// IMM32's ImmAssociateContext: attaches a context to a window, returns the one attached before.
typedef HIMC(WINAPI* ImmAssociateContextProc)(HWND window, HIMC context);

// The host's process-wide variables. Touched only by the process's one thread.
struct HostState {
    HINSTANCE instance = nullptr;
    HWND saverWindow = nullptr;
    int32_t isPreviewChild = 0;
    int32_t closeAllowed = 0;  // only ever goes from 0 to nonzero
    int32_t verifying = 0;     // 1 while the password verifier runs
    HMODULE passwordModule = nullptr;
    VerifyScreenSavePwdProc passwordVerifier = nullptr;  // set and cleared with passwordModule
    HMODULE imeModule = nullptr;
    ImmAssociateContextProc associateContext = nullptr;
    HIMC savedImeContext = nullptr;
    int32_t isWindows95 = 0;
    uint32_t mouseThreshold = 4;
    uint32_t lastVerifyTick = 0xFFFFFFFF;  // all bits set: never verified
    POINT lastCursorPos = {0, 0};          // anchor of the movement test
};

extern HostState hostState;
