// On the Windows 95 family with a screen-saver password, the password lock brackets a full-screen
// run: armed before the window exists, released after the loop, also when creation fails.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "host/win32/saver_window.h"
#include "support/saver_window_fixture.h"

namespace {

std::string ExeFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

BOOL SaverRunningAnnounced() {
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running;
}

bool lockArmedAtCreation = false;
bool refuseCreation = false;
LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        lockArmedAtCreation = hostState.passwordVerifier != nullptr && SaverRunningAnnounced();
        if (refuseCreation) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class LockedFullScreenRun : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSaverGlobals();
        hostState.isWindows95 = 1;
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
        SetEnvironmentVariableA("CORVANTIS_VERIFY_ANSWERS", "1");
        HKEY key;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key), ERROR_SUCCESS);
        const DWORD on = 1;
        RegSetValueExA(key, "ScreenSaveUsePassword", 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&on), sizeof on);
        RegCloseKey(key);
        SetDllDirectoryA((ExeFolder() + "\\doubles\\verify").c_str());
        lockArmedAtCreation = false;
        refuseCreation = false;
        hook = SetWindowsHookExA(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
    }
    void TearDown() override {
        UnhookWindowsHookEx(hook);
        SetDllDirectoryA(nullptr);
        HKEY key;
        if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "ScreenSaveUsePassword");
            RegCloseKey(key);
        }
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
        UnregisterClassA(testSaverClass, GetModuleHandleA(nullptr));
        DrainQuit();
    }
    HHOOK hook = nullptr;
};

bool announcedDuringLoop = false;
void CALLBACK CloseFromLoop(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    announcedDuringLoop = SaverRunningAnnounced() != FALSE;
    PostMessageA(hostState.saverWindow, WM_KEYDOWN, 'A', 0);  // the verifier accepts
}

TEST_F(LockedFullScreenRun, LockIsArmedBeforeTheWindowAndReleasedAfterTheLoop) {
    announcedDuringLoop = false;
    SetTimer(nullptr, 0, 10, CloseFromLoop);
    EXPECT_EQ(RunSaverWindow(nullptr), 0);
    EXPECT_TRUE(lockArmedAtCreation);
    EXPECT_TRUE(announcedDuringLoop);
    EXPECT_EQ(hostState.passwordModule, nullptr);
    EXPECT_EQ(hostState.passwordVerifier, nullptr);
    EXPECT_FALSE(SaverRunningAnnounced());
}

TEST_F(LockedFullScreenRun, LockIsReleasedWhenTheWindowCannotBeCreated) {
    refuseCreation = true;
    EXPECT_EQ(RunSaverWindow(nullptr), -1);
    EXPECT_TRUE(lockArmedAtCreation);
    EXPECT_EQ(hostState.passwordModule, nullptr);
    EXPECT_FALSE(SaverRunningAnnounced());
}

TEST_F(LockedFullScreenRun, APreviewLoadsNoLock) {
    HWND parent = CreateWindowExA(0, "STATIC", "Display", WS_POPUP | WS_VISIBLE, 0, 0, 100, 80,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    PostMessageA(parent, WM_CLOSE, 0, 0);  // DefWindowProc destroys it, and the preview with it
    EXPECT_EQ(RunSaverWindow(parent), 0);
    EXPECT_FALSE(lockArmedAtCreation);
    EXPECT_EQ(hostState.passwordModule, nullptr);
}

}  // namespace
