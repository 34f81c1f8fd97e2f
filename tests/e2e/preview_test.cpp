// Preview mode: the saver makes its child window inside a window of another process (here, one of
// the test's) and runs until that window is destroyed.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/support/saver_process.h"
#include "tests/e2e/support/saver_windows.h"
#include "tests/e2e/support/test_window.h"

namespace {

TEST(SaverPreview, RunsAsAChildOfTheNamedWindowUntilItIsDestroyed) {
    // The handle's digits, then what may follow them.
    struct Case {
        const char* switchText;
        const char* after;
    };
    const Case cases[] = {
        {"/p ", ""},
        {"/p ", "ab"},
        {"/l ", ""},
        {"-P", ""},
    };
    for (const Case& c : cases) {
        HWND parent = CreateTestWindow("preview parent", 60, 60, 300, 220);
        ASSERT_NE(parent, nullptr);
        const std::string tail =
            c.switchText + std::to_string(reinterpret_cast<UINT_PTR>(parent)) + c.after;
        SCOPED_TRACE(tail);
        SaverProcess saver = StartSaverProcess(tail);
        ASSERT_NE(saver.process, nullptr);

        HWND preview = nullptr;
        EXPECT_TRUE(PumpUntil(
            [&] {
                preview = FindWindowExA(parent, nullptr, saverClassName, previewTitle);
                return preview != nullptr || !SaverProcessRunning(saver);
            },
            saverRunTimeoutMs, saver.process));
        ASSERT_NE(preview, nullptr) << "no preview child appeared";
        DWORD owner = 0;
        GetWindowThreadProcessId(preview, &owner);
        EXPECT_EQ(owner, saver.id);
        EXPECT_EQ(GetParent(preview), parent);
        EXPECT_NE(GetWindowLongA(preview, GWL_STYLE) & WS_CHILD, 0);
        RECT parentClient, previewRect;
        GetClientRect(parent, &parentClient);
        GetClientRect(preview, &previewRect);
        EXPECT_EQ(previewRect.right, parentClient.right);
        EXPECT_EQ(previewRect.bottom, parentClient.bottom);
        EXPECT_EQ(FindFullScreenSaver(), nullptr);

        EXPECT_TRUE(SaverProcessRunning(saver));
        DestroyWindow(parent);
        DWORD exitCode = 0xDEADDEAD;
        EXPECT_TRUE(WaitForSaverExit(saver, saverRunTimeoutMs, &exitCode));
        EXPECT_EQ(exitCode, 0u) << std::hex << "exit code 0x" << exitCode;
        EndSaverProcess(saver);
    }
}

}  // namespace
