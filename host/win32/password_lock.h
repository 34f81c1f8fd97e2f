#pragma once
#include <windows.h>

#include <cstdint>

// The host's own message: asks the password verifier through the window. Nonzero = accepted.
constexpr UINT WM_SAVER_VERIFY = 0x8000;

void LoadPasswordLock();
void ReleasePasswordLock();
void SetSaverRunning(int32_t running);
// Decides one close request of the saver window; nonzero = the window may close.
int32_t VerifyOnClose(HWND window);
void RequestPasswordChange(HWND parent);
