// Change-password mode outside the Windows 95 family: refused with -1, the password service is not
// called even when an MPR.DLL that has it lies beside the executable.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/support/change_password_run.h"

namespace {

TEST(SaverChangePassword, IsRefusedOnWindowsNt) {
    for (const char* tail : {"/a", "-A 1234"}) {
        SCOPED_TRACE(tail);
        const ChangePasswordRun run = RunChangePasswordMode(tail);
        EXPECT_EQ(run.exitCode, 0xFFFFFFFFu) << std::hex << "exit code 0x" << run.exitCode;
        for (const std::string& line : run.mprLog) {
            EXPECT_NE(line.rfind("change", 0), 0u) << line;
        }
    }
}

}  // namespace
