// The password lock outside the Windows 95 family (NT prefix): none of it is active, even with
// the switch set and a verifying PASSWORD.CPL at hand.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "host/win32/host_state.h"
#include "host/win32/password_lock.h"
#include "tests/wine/password_lock_support.h"

using namespace password_lock_support;

namespace {

class PasswordLockOnNt : public ::testing::Test {
protected:
    void SetUp() override {
        OSVERSIONINFOA version = {};
        version.dwOSVersionInfoSize = sizeof version;
        ASSERT_TRUE(GetVersionExA(&version));
        ASSERT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
        hostState = HostState{};
        hostState.isWindows95 = 0;
        SetSaverRunningFlag(0);
        ASSERT_TRUE(WriteUsePassword(REG_DWORD, {1, 0, 0, 0}));
        logPath = FreshLogPath("verify-nt");
        SetEnvironmentVariableA("CORVANTIS_VERIFY_LOG", logPath.c_str());
        SetDllDirectoryA(DoublesFolder("verify").c_str());
    }

    void TearDown() override {
        DeleteUsePassword();
        SetDllDirectoryA(nullptr);
        SetEnvironmentVariableA("CORVANTIS_VERIFY_LOG", nullptr);
        SetSaverRunningFlag(0);
        DeleteFileA(logPath.c_str());
    }

    std::string logPath;
};

TEST_F(PasswordLockOnNt, TheLockIsNeverArmed) {
    LoadPasswordLock();

    EXPECT_EQ(hostState.passwordModule, nullptr);
    EXPECT_EQ(hostState.passwordVerifier, nullptr);
    EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr);
    EXPECT_TRUE(ReadLines(logPath).empty()) << "PASSWORD.CPL was loaded";
    EXPECT_EQ(SaverRunningFlag(), 0u);
}

TEST_F(PasswordLockOnNt, TheRunningSaverIsNeverAnnouncedOrWithdrawn) {
    SetSaverRunning(1);
    EXPECT_EQ(SaverRunningFlag(), 0u);
    SetSaverRunningFlag(1);
    SetSaverRunning(0);
    EXPECT_EQ(SaverRunningFlag(), 1u);
}

TEST_F(PasswordLockOnNt, ReleaseLeavesAProviderItFinds) {
    // Only reachable by setting the fields directly: the lock is never armed on this platform.
    HMODULE module = LoadLibraryA("PASSWORD.CPL");
    ASSERT_NE(module, nullptr);
    hostState.passwordModule = module;
    hostState.passwordVerifier = reinterpret_cast<VerifyScreenSavePwdProc>(
        reinterpret_cast<void*>(GetProcAddress(module, "VerifyScreenSavePwd")));
    SetSaverRunningFlag(1);

    ReleasePasswordLock();

    EXPECT_EQ(hostState.passwordModule, module);
    EXPECT_NE(hostState.passwordVerifier, nullptr);
    EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), module);
    EXPECT_EQ(SaverRunningFlag(), 1u);

    FreeLibrary(module);
    EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr);
}

}  // namespace
