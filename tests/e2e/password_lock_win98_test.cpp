// The screen-saver password on the Windows 95 family, with the PASSWORD.CPL double beside a copy of
// corvantis.scr and ScreenSaveUsePassword set: input asks the verifier, a refusal keeps the saver
// running, later input asks again, an acceptance ends the run with 0; a verifier that faults ends
// the process through the fault guard, which withdraws the saver-running announcement.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/support/fault_code.h"
#include "tests/e2e/support/saver_process.h"
#include "tests/e2e/support/saver_running_flag.h"
#include "tests/e2e/support/saver_windows.h"
#include "tests/e2e/support/staged_saver.h"
#include "tests/e2e/support/user_input.h"

namespace {

constexpr char desktopKey[] = "Control Panel\\Desktop";
constexpr char usePasswordValue[] = "ScreenSaveUsePassword";
constexpr DWORD settleMs = 1500;

void SetUsePassword(bool on) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, desktopKey, &key), ERROR_SUCCESS);
    if (on) {
        const DWORD one = 1;
        RegSetValueExA(key, usePasswordValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    } else {
        RegDeleteValueA(key, usePasswordValue);
    }
    RegCloseKey(key);
}

// The verifier double's calls so far: its log lines that begin with "call".
std::vector<std::string> VerifierCalls(const std::string& logPath) {
    std::vector<std::string> calls;
    for (const std::string& line : ReadLines(logPath)) {
        if (line.rfind("call ", 0) == 0) calls.push_back(line);
    }
    return calls;
}

class PasswordLockedSaver : public ::testing::Test {
protected:
    void SetUp() override {
        SetSaverRunningFlag(false);
        SetUsePassword(true);
        staged = StageSaver("verify");
        SetEnvironmentVariableA("CORVANTIS_VERIFY_LOG", staged.logPath.c_str());
    }

    void TearDown() override {
        EndSaverProcess(saver);
        PumpUntil([] { return FindFullScreenSaver() == nullptr; }, 10000);
        for (const char* control : {"CORVANTIS_VERIFY_LOG", "CORVANTIS_VERIFY_ANSWERS", "CORVANTIS_VERIFY_FAULT"}) {
            SetEnvironmentVariableA(control, nullptr);
        }
        RemoveStagedSaver(staged);
        SetUsePassword(false);
        SetSaverRunningFlag(false);
    }

    HWND StartLockedSaver() {
        saver = StartSaverProcess("/s", staged.saverPath);
        return saver.process != nullptr ? WaitForFullScreenSaver(saver.process, saverRunTimeoutMs) : nullptr;
    }

    bool WaitForCalls(size_t count) {
        return PumpUntil([&] { return VerifierCalls(staged.logPath).size() >= count || !SaverProcessRunning(saver); },
                         saverRunTimeoutMs, saver.process);
    }

    StagedSaver staged;
    SaverProcess saver;
};

TEST_F(PasswordLockedSaver, AsksOnInputAndClosesOnlyWhenThePasswordIsAccepted) {
    SetEnvironmentVariableA("CORVANTIS_VERIFY_ANSWERS", "0,1");
    HWND window = StartLockedSaver();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(SaverRunningFlag()) << "the lock did not announce a running saver";

    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitForCalls(1));
    // Refused: the saver goes on, and nothing more is asked without new input.
    EXPECT_FALSE(PumpUntil([&] { return !SaverProcessRunning(saver); }, settleMs, saver.process));
    EXPECT_TRUE(IsWindow(window));
    ASSERT_EQ(VerifierCalls(staged.logPath).size(), 1u);
    EXPECT_EQ(VerifierCalls(staged.logPath)[0].back(), '0');

    // Later input asks again (the movement is measured from where the pointer stood at the refusal).
    POINT position = {};
    GetCursorPos(&position);
    MoveCursorTo(position.x + 10, position.y + 10);
    DWORD exitCode = timedOutExitCode;
    EXPECT_TRUE(WaitForSaverExit(saver, saverRunTimeoutMs, &exitCode));
    EXPECT_EQ(exitCode, 0u) << std::hex << "exit code 0x" << exitCode;
    const std::vector<std::string> calls = VerifierCalls(staged.logPath);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].back(), '1');
    EXPECT_FALSE(SaverRunningFlag());
}

TEST_F(PasswordLockedSaver, AFaultingVerifierEndsTheRunThroughTheGuard) {
    SetEnvironmentVariableA("CORVANTIS_VERIFY_FAULT", "1");
    HWND window = StartLockedSaver();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(SaverRunningFlag());

    PressKey(VK_SPACE);
    DWORD exitCode = timedOutExitCode;
    EXPECT_TRUE(WaitForSaverExit(saver, saverRunTimeoutMs, &exitCode));
    // The exit code is the fault's own code.
    EXPECT_TRUE(IsNullStoreFaultCode(exitCode)) << std::hex << "exit code 0x" << exitCode;
    EXPECT_FALSE(SaverRunningFlag()) << "the announcement was not withdrawn";
}

}  // namespace
