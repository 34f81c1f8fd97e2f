#include "tests/e2e/support/saver_windows.h"

#include <gtest/gtest.h>

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs, HANDLE wakeOn) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (condition()) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return condition();
        const DWORD wait = timeoutMs - elapsed < 20 ? timeoutMs - elapsed : 20;
        MsgWaitForMultipleObjects(wakeOn != nullptr ? 1 : 0, &wakeOn, FALSE, wait, QS_ALLINPUT);
    }
}

HWND FindFullScreenSaver() {
    return FindWindowA(saverClassName, fullScreenTitle);
}

namespace {

struct TopLevelSearch {
    DWORD processId;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM argument) {
    auto* search = reinterpret_cast<TopLevelSearch*>(argument);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (owner == search->processId && std::string(caption) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

CreatedWindowsWatch* activeWatch = nullptr;

void CALLBACK RecordCreation(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (object != OBJID_WINDOW || activeWatch == nullptr) return;
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    activeWatch->classNames.push_back(name);
}

}  // namespace

HWND FindTopLevelWindow(DWORD processId, const char* caption) {
    TopLevelSearch search = {processId, caption, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForFullScreenSaver(HANDLE process, DWORD timeoutMs) {
    const DWORD processId = GetProcessId(process);
    HWND window = nullptr;
    PumpUntil(
        [&] {
            window = FindTopLevelWindow(processId, fullScreenTitle);
            return window != nullptr || WaitForSingleObject(process, 0) != WAIT_TIMEOUT;
        },
        timeoutMs, process);
    if (window == nullptr) return nullptr;
    // The window is found as soon as it has its title, before WM_CREATE has taken the movement
    // anchor; visibility comes after WM_CREATE, and input idle once the message loop waits.
    PumpUntil([&] { return IsWindowVisible(window) != FALSE; }, timeoutMs);
    WaitForInputIdle(process, timeoutMs);
    return window;
}

void BeginCreatedWindowsWatch(CreatedWindowsWatch& watch, DWORD processId) {
    watch.classNames.clear();
    activeWatch = &watch;
    watch.hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, RecordCreation,
                                 processId, 0, WINEVENT_OUTOFCONTEXT);
    EXPECT_NE(watch.hook, nullptr) << "no creation watch: SetWinEventHook failed";
}

void EndCreatedWindowsWatch(CreatedWindowsWatch& watch) {
    PumpUntil([] { return false; }, 0);
    if (watch.hook != nullptr) UnhookWinEvent(watch.hook);
    watch.hook = nullptr;
    activeWatch = nullptr;
}
