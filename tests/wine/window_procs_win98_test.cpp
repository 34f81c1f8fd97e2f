// Closing a full-screen saver on the Windows 95 family with a screen-saver password: the close
// request goes through the password verifier (the PASSWORD.CPL test double).
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "host/win32/password_lock.h"
#include "password_lock_support.h"
#include "support/saver_window_fixture.h"

namespace {

using namespace password_lock_support;

int VerifierCalls(const std::string& log) {
    return static_cast<int>(LinesStartingWith(log, "call").size());
}

// Counts WM_CLOSE messages taken off the queue for the saver window.
HWND countedWindow = nullptr;
int closesRetrieved = 0;
LRESULT CALLBACK CountCloses(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->hwnd == countedWindow &&
        message->message == WM_CLOSE)
        ++closesRetrieved;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class PasswordProtectedSaver : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSaverGlobals();
        hostState.isWindows95 = 1;
        log = FreshLogPath("verify-procs");
        SetEnvironmentVariableA("CORVANTIS_VERIFY_LOG", log.c_str());
        SetEnvironmentVariableA("CORVANTIS_VERIFY_ANSWERS", "0");
        SetEnvironmentVariableA("CORVANTIS_VERIFY_DELAY_MS", nullptr);
        SetEnvironmentVariableA("CORVANTIS_VERIFY_REENTER", nullptr);
        ASSERT_TRUE(WriteUsePassword(REG_DWORD, {1, 0, 0, 0}));
        SetDllDirectoryA(DoublesFolder("verify").c_str());
        LoadPasswordLock();
        ASSERT_NE(hostState.passwordVerifier, nullptr);

        RegisterTestSaverClass();
        ASSERT_TRUE(MoveCursorTo(100, 100));
        window = CreateWindowExA(WS_EX_TOPMOST, testSaverClass, "Screen Saver",
                                 WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        while (TakePostedClose(window)) {
        }
    }
    void TearDown() override {
        if (IsWindow(window)) {
            hostState.closeAllowed = 1;
            DestroyWindow(window);
        }
        ReleasePasswordLock();
        SetDllDirectoryA(nullptr);
        DeleteUsePassword();
        DrainQuit();
    }
    HWND window = nullptr;
    std::string log;
};

TEST_F(PasswordProtectedSaver, ARefusedCloseKeepsTheWindowAndTakesTheAnchorAfresh) {
    ASSERT_TRUE(MoveCursorTo(150, 150));
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(VerifierCalls(log), 1);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(hostState.closeAllowed, 0);
    EXPECT_EQ(hostState.lastCursorPos.x, 150);
    EXPECT_EQ(hostState.lastCursorPos.y, 150);
    // A movement of 4 from the new anchor closes nothing.
    ASSERT_TRUE(MoveCursorTo(152, 152));
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_FALSE(TakePostedClose(window));
}

TEST_F(PasswordProtectedSaver, RequestsWithin200MsAreRefusedWithoutAskingThenAnAcceptanceCloses) {
    SetEnvironmentVariableA("CORVANTIS_VERIFY_ANSWERS", "0,5");
    SendMessageA(window, WM_CLOSE, 0, 0);
    SendMessageA(window, WM_CLOSE, 0, 0);  // right after the refusal: not asked
    EXPECT_EQ(VerifierCalls(log), 1);
    EXPECT_TRUE(IsWindow(window));

    hostState.lastVerifyTick = GetTickCount() - 200;
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(VerifierCalls(log), 2);
    EXPECT_EQ(hostState.closeAllowed, 5);  // any nonzero answer allows, and is kept
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(PasswordProtectedSaver, InputDuringTheVerificationPostsNoClose) {
    SetEnvironmentVariableA("CORVANTIS_VERIFY_DELAY_MS", "300");
    countedWindow = window;
    closesRetrieved = 0;
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, CountCloses, nullptr, GetCurrentThreadId());
    // Dispatched by the prompt's own message pump while the verification runs.
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    PostMessageA(window, WM_LBUTTONDOWN, 0, 0);
    PostMessageA(window, WM_ACTIVATEAPP, 0, 0);
    SendMessageA(window, WM_CLOSE, 0, 0);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(closesRetrieved, 0);
    EXPECT_FALSE(TakePostedClose(window));
    EXPECT_EQ(VerifierCalls(log), 1);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(PasswordProtectedSaver, ACloseArrivingDuringTheVerificationIsRefusedWithoutASecondPrompt) {
    SetEnvironmentVariableA("CORVANTIS_VERIFY_REENTER", "1");
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(VerifierCalls(log), 1);
    const auto reentries = LinesStartingWith(log, "reenter");
    ASSERT_EQ(reentries.size(), 1u);
    EXPECT_EQ(reentries[0], "reenter 0");
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(PasswordProtectedSaver, VerifyMessageAnswersFromTheVerifierOrOneWithoutIt) {
    SetEnvironmentVariableA("CORVANTIS_VERIFY_ANSWERS", "9");
    EXPECT_EQ(SendMessageA(window, WM_SAVER_VERIFY, 0, 0), 9);
    ReleasePasswordLock();
    EXPECT_EQ(SendMessageA(window, WM_SAVER_VERIFY, 0, 0), 1);
    // Outside the Windows 95 family the message gets default processing.
    hostState.isWindows95 = 0;
    EXPECT_EQ(SendMessageA(window, WM_SAVER_VERIFY, 0, 0), 0);
    // And the first close destroys the window without asking.
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
