// A preview and a full-screen saver do not stand in each other's way: the single-instance test
// looks for the full-screen window only, and a preview makes no such test.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/support/saver_process.h"
#include "tests/e2e/support/saver_windows.h"
#include "tests/e2e/support/test_window.h"
#include "tests/e2e/support/user_input.h"

namespace {

HWND WaitForPreviewIn(HWND parent, const SaverProcess& saver) {
    HWND preview = nullptr;
    PumpUntil(
        [&] {
            preview = FindWindowExA(parent, nullptr, saverClassName, previewTitle);
            return preview != nullptr || !SaverProcessRunning(saver);
        },
        saverRunTimeoutMs, saver.process);
    return preview;
}

void ExpectEndsWithZero(SaverProcess& saver) {
    DWORD exitCode = timedOutExitCode;
    EXPECT_TRUE(WaitForSaverExit(saver, saverRunTimeoutMs, &exitCode));
    EXPECT_EQ(exitCode, 0u) << std::hex << "exit code 0x" << exitCode;
    EndSaverProcess(saver);
}

TEST(SaverBesideAnother, APreviewStartsWhileAFullScreenSaverRuns) {
    // The parent exists first: a window made later would take the activation, which closes the
    // full-screen saver.
    HWND parent = CreateTestWindow("preview parent", 60, 60, 300, 220);
    ASSERT_NE(parent, nullptr);
    SaverProcess fullScreen = StartSaverProcess("/s");
    ASSERT_NE(fullScreen.process, nullptr);
    HWND screen = WaitForFullScreenSaver(fullScreen.process, saverRunTimeoutMs);
    ASSERT_NE(screen, nullptr);

    SaverProcess preview = StartSaverProcess("/p " + std::to_string(reinterpret_cast<UINT_PTR>(parent)));
    ASSERT_NE(preview.process, nullptr);
    EXPECT_NE(WaitForPreviewIn(parent, preview), nullptr);

    DestroyWindow(parent);
    ExpectEndsWithZero(preview);
    EXPECT_TRUE(IsWindow(screen));
    EXPECT_TRUE(SaverProcessRunning(fullScreen));
    PressKey('A');
    ExpectEndsWithZero(fullScreen);
}

TEST(SaverBesideAnother, AFullScreenSaverStartsWhileAPreviewRuns) {
    HWND parent = CreateTestWindow("preview parent", 60, 60, 300, 220);
    ASSERT_NE(parent, nullptr);
    SaverProcess preview = StartSaverProcess("/p " + std::to_string(reinterpret_cast<UINT_PTR>(parent)));
    ASSERT_NE(preview.process, nullptr);
    ASSERT_NE(WaitForPreviewIn(parent, preview), nullptr);

    SaverProcess fullScreen = StartSaverProcess("/s");
    ASSERT_NE(fullScreen.process, nullptr);
    HWND screen = WaitForFullScreenSaver(fullScreen.process, saverRunTimeoutMs);
    EXPECT_NE(screen, nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(screen, &owner);
    EXPECT_EQ(owner, fullScreen.id);
    PressKey('A');
    ExpectEndsWithZero(fullScreen);

    EXPECT_TRUE(SaverProcessRunning(preview));
    DestroyWindow(parent);
    ExpectEndsWithZero(preview);
}

}  // namespace
