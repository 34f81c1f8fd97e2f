// Change-password mode on the Windows 95 family: the password service (the MPR.DLL double beside a
// copy of corvantis.scr) is called for "SCRSAVE" with the named window, or the foreground window, as
// parent, and the process ends with 0.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/e2e/support/change_password_run.h"
#include "tests/e2e/support/saver_windows.h"
#include "tests/e2e/support/test_window.h"

namespace {

TEST(SaverChangePassword, CallsThePasswordServiceWithTheParentWindow) {
    HWND foreground = CreateTestWindow("foreground");
    HWND named = CreateTestWindow("named");
    ASSERT_TRUE(foreground != nullptr && named != nullptr);
    SetForegroundWindow(foreground);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == foreground; }, 5000));

    const std::string namedNumber = std::to_string(reinterpret_cast<UINT_PTR>(named));
    struct Case {
        std::string tail;
        HWND parent;
    };
    const Case cases[] = {
        {"/a", foreground},
        {"/a " + namedNumber, named},
        {"-A" + namedNumber + "xyz", named},
        {"/a 4294967296", foreground},  // wraps to 0: no handle
        {"/a 4000000000", foreground},  // not a window
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tail);
        const ChangePasswordRun run = RunChangePasswordMode(c.tail);
        EXPECT_EQ(run.exitCode, 0u) << std::hex << "exit code 0x" << run.exitCode;
        EXPECT_EQ(std::count(run.mprLog.begin(), run.mprLog.end(), ExpectedChangeLine(c.parent)), 1)
            << "log: " << ::testing::PrintToString(run.mprLog);
    }
    DestroyWindow(named);
    DestroyWindow(foreground);
}

}  // namespace
