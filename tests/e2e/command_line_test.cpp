// Command lines that name no runnable mode end the process with -1 before anything is created.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/e2e/support/saver_process.h"
#include "tests/e2e/support/saver_windows.h"
#include "tests/e2e/support/user_input.h"

namespace {

TEST(SaverCommandLine, RefusedSwitchesEndWithMinusOneAndCreateNoWindow) {
    const char* const tails[] = {
        "/x",
        "/\tx",             // a tab is significant, not skipped
        "/p:1234",          // a colon stops the handle's digits: no handle
        "/p 0",
        "p",
        "/p 4294967296",    // wraps to 0
    };
    for (const char* tail : tails) {
        SCOPED_TRACE(tail);
        SaverProcess saver = StartSaverProcess(tail, BuiltSaverPath(), true);
        ASSERT_NE(saver.process, nullptr);
        CreatedWindowsWatch watch;
        BeginCreatedWindowsWatch(watch, saver.id);
        ResumeSaverProcess(saver);
        DWORD exitCode = 0;
        EXPECT_TRUE(WaitForSaverExit(saver, saverRunTimeoutMs, &exitCode));
        EndCreatedWindowsWatch(watch);
        EndSaverProcess(saver);
        EXPECT_EQ(exitCode, 0xFFFFFFFFu) << std::hex << "exit code 0x" << exitCode;
        EXPECT_TRUE(watch.classNames.empty()) << "first window created: " << watch.classNames.front();
    }
}

// The watch above does see the windows of a run that makes some.
TEST(SaverCommandLine, TheCreationWatchSeesTheWindowsOfAFullScreenRun) {
    SaverProcess saver = StartSaverProcess("/s", BuiltSaverPath(), true);
    ASSERT_NE(saver.process, nullptr);
    CreatedWindowsWatch watch;
    BeginCreatedWindowsWatch(watch, saver.id);
    ResumeSaverProcess(saver);
    EXPECT_NE(WaitForFullScreenSaver(saver.process, saverRunTimeoutMs), nullptr);
    PressKey(VK_SPACE);
    DWORD exitCode = 0;
    EXPECT_TRUE(WaitForSaverExit(saver, saverRunTimeoutMs, &exitCode));
    EndCreatedWindowsWatch(watch);
    EndSaverProcess(saver);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_NE(std::find(watch.classNames.begin(), watch.classNames.end(), saverClassName), watch.classNames.end());
}

}  // namespace
