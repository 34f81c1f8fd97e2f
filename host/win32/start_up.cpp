#include "host/win32/start_up.h"

#include <cstdint>

#include "host/command_line.h"
#include "host/win32/command_tail.h"
#include "host/win32/fault_guard.h"
#include "host/win32/host_state.h"
#include "host/win32/password_lock.h"
#include "host/win32/saver_window.h"
#include "settings/win32/config_dialog.h"

namespace {

// The window whose decimal handle starts the text, or null when there is none or it is no window.
HWND ExistingWindowAt(const char* text) {
    const uint32_t number = ParseWindowHandle(text);
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(number));
    return number != 0 && IsWindow(window) ? window : nullptr;
}

// Runs inside the fault guard: the mode that the tail's first significant character names.
int RunChosenMode(const void* argument) {
    const ModeChoice choice = ChooseSaverMode(static_cast<const char*>(argument));
    switch (choice.mode) {
    case SaverMode::ConfigureWithoutOwner:
        return RunConfigDialog(nullptr);
    case SaverMode::ConfigureOwned:
        return RunConfigDialog(GetForegroundWindow());
    case SaverMode::FullScreen:
        return RunSaverWindow(nullptr);
    case SaverMode::Preview:
        return RunPreview(choice.rest);
    case SaverMode::ChangePassword:
        return hostState.isWindows95 ? RunChangePassword(choice.rest) : -1;
    case SaverMode::Unknown:
        break;
    }
    return -1;
}

}  // namespace

void StartSaver() {
    ExitProcess(static_cast<UINT>(DispatchSaverMode(GetModuleHandleA(nullptr), CommandLineTail())));
}

int DispatchSaverMode(HINSTANCE instance, const char* tail) {
    hostState.instance = instance;
    OSVERSIONINFOA version = {};
    static_assert(sizeof version == 148);
    version.dwOSVersionInfoSize = sizeof version;
    hostState.isWindows95 =
        GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
    return RunUnderFaultGuard(RunChosenMode, tail);
}

int RunConfigDialog(HWND owner) {
    if (PrepareConfigDialog(hostState.instance) == 0) {
        return 0;
    }
    return static_cast<int>(DialogBoxParamA(hostState.instance, MAKEINTRESOURCEA(configDialogId),
                                            owner, ConfigDialogProc, 0));
}

int RunPreview(const char* text) {
    HWND parent = ExistingWindowAt(text);
    return parent != nullptr ? RunSaverWindow(parent) : -1;
}

int RunChangePassword(const char* text) {
    HWND parent = ExistingWindowAt(text);
    RequestPasswordChange(parent != nullptr ? parent : GetForegroundWindow());
    return 0;
}
