// On the Windows 95 family with a screen-saver password, the password lock brackets a full-screen
// run: armed before the window exists, released after the loop, also when creation fails.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "host/win32/saver_window.h"
#include "password_lock_support.h"
#include "support/saver_window_fixture.h"

namespace {

using namespace password_lock_support;

bool SaverRunningAnnounced() {
    return SaverRunningFlag() != 0;
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
        SetSaverRunningFlag(0);
        SetEnvironmentVariableA("CORVANTIS_VERIFY_ANSWERS", "1");
        ASSERT_TRUE(WriteUsePassword(REG_DWORD, {1, 0, 0, 0}));
        SetDllDirectoryA(DoublesFolder("verify").c_str());
        lockArmedAtCreation = false;
        refuseCreation = false;
        hook = SetWindowsHookExA(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
    }
    void TearDown() override {
        UnhookWindowsHookEx(hook);
        SetDllDirectoryA(nullptr);
        DeleteUsePassword();
        SetSaverRunningFlag(0);
        UnregisterClassA(testSaverClass, GetModuleHandleA(nullptr));
        DrainQuit();
    }
    HHOOK hook = nullptr;
};

bool announcedDuringLoop = false;
void CALLBACK CloseFromLoop(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    announcedDuringLoop = SaverRunningAnnounced();
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
