// Full-screen mode: the topmost black window over the whole screen, the frames drawn on it, the
// input that closes it, and the refusal of a second full-screen saver.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <string>

#include "tests/e2e/support/saver_process.h"
#include "tests/e2e/support/saver_windows.h"
#include "tests/e2e/support/screen_capture.h"
#include "tests/e2e/support/user_input.h"

namespace {

// Where the pointer stands when a saver starts: the anchor of its movement test.
constexpr POINT anchor = {400, 300};
// How long a saver is given to react to input that must not close it.
constexpr DWORD settleMs = 1500;

class FullScreenSaver : public ::testing::Test {
protected:
    void TearDown() override { EndSavers(); }

    void EndSavers() {
        EndSaverProcess(first);
        EndSaverProcess(second);
        PumpUntil([] { return FindFullScreenSaver() == nullptr; }, 10000);
    }

    // Puts the pointer on the anchor, starts "/s" and waits until its window is up and its message
    // loop waits for input. Null when that fails.
    HWND StartFullScreen() {
        EXPECT_EQ(FindFullScreenSaver(), nullptr) << "a full-screen saver is already running";
        // The first move of a fresh Wine session may be lost; it is repeated until it holds.
        POINT position = {};
        if (!PumpUntil(
                [&] {
                    if (GetCursorPos(&position) && position.x == anchor.x && position.y == anchor.y) return true;
                    MoveCursorTo(anchor.x, anchor.y);
                    return false;
                },
                5000)) {
            ADD_FAILURE() << "the pointer did not reach the anchor";
            return nullptr;
        }
        first = StartSaverProcess("/s");
        if (first.process == nullptr) return nullptr;
        return WaitForFullScreenSaver(first.process, saverRunTimeoutMs);
    }

    DWORD WaitForFirstExit() {
        DWORD exitCode = timedOutExitCode;
        EXPECT_TRUE(WaitForSaverExit(first, saverRunTimeoutMs, &exitCode)) << "the saver did not close";
        return exitCode;
    }

    SaverProcess first;
    SaverProcess second;
};

TEST_F(FullScreenSaver, ClosesWithZeroOnInput) {
    struct Case {
        const char* name;
        std::function<void()> input;
    };
    const Case cases[] = {
        {"key press", [] { PressKey(VK_SPACE); }},
        {"left button press", [] { PressLeftButton(); }},
        {"movement of 5 pixels", [] { MoveCursorTo(anchor.x + 3, anchor.y - 2); }},
        {"movement of 6 pixels in one direction", [] { MoveCursorTo(anchor.x - 6, anchor.y); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND window = StartFullScreen();
        ASSERT_NE(window, nullptr) << "no full-screen window appeared";
        c.input();
        EXPECT_EQ(WaitForFirstExit(), 0u);
        EXPECT_FALSE(IsWindow(window));
        EndSavers();
    }
}

TEST_F(FullScreenSaver, StaysOnAMovementOfFourPixels) {
    HWND window = StartFullScreen();
    ASSERT_NE(window, nullptr);
    MoveCursorTo(anchor.x + 3, anchor.y + 1);
    EXPECT_FALSE(PumpUntil([&] { return !SaverProcessRunning(first); }, settleMs, first.process));
    EXPECT_TRUE(IsWindow(window));
    PressKey(VK_SPACE);
    EXPECT_EQ(WaitForFirstExit(), 0u);
}

TEST_F(FullScreenSaver, SecondStartEndsWithZeroAndCreatesNothing) {
    HWND window = StartFullScreen();
    ASSERT_NE(window, nullptr);
    second = StartSaverProcess("/s", BuiltSaverPath(), true);
    ASSERT_NE(second.process, nullptr);
    CreatedWindowsWatch watch;
    BeginCreatedWindowsWatch(watch, second.id);
    ResumeSaverProcess(second);
    DWORD exitCode = timedOutExitCode;
    EXPECT_TRUE(WaitForSaverExit(second, saverRunTimeoutMs, &exitCode));
    EndCreatedWindowsWatch(watch);
    EXPECT_EQ(exitCode, 0u) << std::hex << "exit code 0x" << exitCode;
    EXPECT_TRUE(watch.classNames.empty()) << "first window created: " << watch.classNames.front();
    EXPECT_TRUE(SaverProcessRunning(first));
    EXPECT_EQ(FindFullScreenSaver(), window);
    PressKey(VK_SPACE);
    EXPECT_EQ(WaitForFirstExit(), 0u);
}

// A frame is black with the figure's one-pixel lines in one colour (r, 255 - r, 0).
TEST_F(FullScreenSaver, CoversTheScreenWithFramesOfOnePenColour) {
    HWND window = StartFullScreen();
    ASSERT_NE(window, nullptr);
    RECT rect = {};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    // Wait for the first lit frame, then let a few more frames pass before the shot is taken.
    auto litPixels = [](const ScreenPixels& shot) {
        size_t lit = 0;
        for (uint32_t pixel : shot.pixels) lit += pixel != 0 ? 1 : 0;
        return lit;
    };
    ASSERT_TRUE(PumpUntil([&] { return litPixels(CaptureScreen()) > 0; }, saverRunTimeoutMs))
        << "no frame reached the screen";
    PumpUntil([] { return false; }, 300);
    const ScreenPixels shot = CaptureScreen();
    ASSERT_EQ(static_cast<LONG>(shot.width), rect.right);

    std::set<uint32_t> colours;
    for (uint32_t pixel : shot.pixels) {
        if (pixel != 0) colours.insert(pixel);
    }
    EXPECT_GT(litPixels(shot), 100u);
    ASSERT_EQ(colours.size(), 1u) << "several colours besides black";
    const uint32_t pen = *colours.begin();
    EXPECT_EQ(Green(pen), 255 - Red(pen)) << std::hex << "pen 0x" << pen;
    EXPECT_EQ(Blue(pen), 0u) << std::hex << "pen 0x" << pen;

    EXPECT_TRUE(SaverProcessRunning(first));
    PressKey(VK_SPACE);
    EXPECT_EQ(WaitForFirstExit(), 0u);
}

}  // namespace
