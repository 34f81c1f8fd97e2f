#include "host/win32/password_lock.h"

#include "host/close_timing.h"
#include "host/win32/host_state.h"

// MPR.DLL's password service: lets the user change the password of the named provider.
typedef DWORD(WINAPI* PwdChangePasswordProc)(LPCSTR provider, HWND parent, DWORD flags, LPVOID info);

void LoadPasswordLock() {
    if (hostState.isWindows95 == 0) {
        return;
    }
    if (hostState.passwordModule != nullptr) {
        ReleasePasswordLock();
    }
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS) {
        return;
    }
    // Cleared first: a stored value shorter than 4 bytes fills only its own bytes, and the rest
    // must read as 0, not as whatever the stack held.
    DWORD usePassword = 0;
    DWORD size = sizeof usePassword;
    if (RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&usePassword), &size) == ERROR_SUCCESS &&
        usePassword != 0) {
        hostState.passwordModule = LoadLibraryA("PASSWORD.CPL");
        if (hostState.passwordModule != nullptr) {
            hostState.passwordVerifier = reinterpret_cast<VerifyScreenSavePwdProc>(
                reinterpret_cast<void*>(GetProcAddress(hostState.passwordModule, "VerifyScreenSavePwd")));
            if (hostState.passwordVerifier != nullptr) {
                SetSaverRunning(1);
            } else {
                ReleasePasswordLock();
            }
        }
    }
    RegCloseKey(key);
}

void ReleasePasswordLock() {
    if (hostState.isWindows95 == 0 || hostState.passwordModule == nullptr) {
        return;
    }
    FreeLibrary(hostState.passwordModule);
    hostState.passwordModule = nullptr;
    // The system was told that a saver runs only when the verifier was found: withdraw it once.
    if (hostState.passwordVerifier != nullptr) {
        hostState.passwordVerifier = nullptr;
        SetSaverRunning(0);
    }
}

void SetSaverRunning(int32_t running) {
    if (hostState.isWindows95 == 0) {
        return;
    }
    UINT previous = 0;  // required by the call, never read
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, static_cast<UINT>(running), &previous, 0);
}

int32_t VerifyOnClose(HWND window) {
    // The verifier dispatches messages while it asks, so a close request can arrive meanwhile.
    if (hostState.verifying != 0) {
        return 0;
    }
    if (hostState.passwordVerifier == nullptr) {
        hostState.closeAllowed = 1;
        return 1;
    }
    if (!MayAskVerifier(hostState.lastVerifyTick, GetTickCount())) {
        return hostState.closeAllowed;
    }
    hostState.verifying = 1;
    // Each call drops at most one frame tick of the window that is already due.
    MSG pending;
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    const LRESULT answer = SendMessageA(window, WM_SAVER_VERIFY, 0, 0);
    hostState.closeAllowed = static_cast<int32_t>(answer);
    hostState.verifying = 0;
    if (answer == 0) {
        SetCursor(nullptr);
    }
    hostState.lastVerifyTick = GetTickCount();
    return hostState.closeAllowed;
}

void RequestPasswordChange(HWND parent) {
    HMODULE module = LoadLibraryA("MPR.DLL");
    if (module == nullptr) {
        return;
    }
    auto change = reinterpret_cast<PwdChangePasswordProc>(
        reinterpret_cast<void*>(GetProcAddress(module, "PwdChangePasswordA")));
    if (change != nullptr) {
        change("SCRSAVE", parent, 0, nullptr);
    }
    FreeLibrary(module);
}
