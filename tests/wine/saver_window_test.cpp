// RunSaverWindow for real: the class, the window in both modes, the single-instance test, the
// message loop and its result.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "host/win32/saver_window.h"
#include "support/saver_window_fixture.h"

namespace {

// Runs a check from inside the message loop, once, shortly after it starts.
std::function<void()> insideLoop;

void CALLBACK RunInsideLoop(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    auto check = std::move(insideLoop);
    insideLoop = nullptr;
    if (check) check();
}

int RunWithCheck(HWND parent, std::function<void()> check) {
    insideLoop = std::move(check);
    SetTimer(nullptr, 0, 10, RunInsideLoop);
    return RunSaverWindow(parent);
}

class SaverWindowRun : public ::testing::Test {
protected:
    void SetUp() override { ResetSaverGlobals(); }
    void TearDown() override {
        UnregisterClassA(testSaverClass, GetModuleHandleA(nullptr));
        DrainQuit();
    }
};

TEST_F(SaverWindowRun, FullScreenIsATopmostPopupCoveringTheScreenInTheForeground) {
    bool checked = false;
    const int result = RunWithCheck(nullptr, [&] {
        HWND window = hostState.saverWindow;
        ASSERT_NE(window, nullptr);
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        EXPECT_STREQ(name, "WindowsScreenSaverClass");
        GetWindowTextA(window, name, sizeof name);
        EXPECT_STREQ(name, "Screen Saver");
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)),
                  static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)) & WS_EX_TOPMOST,
                  static_cast<DWORD>(WS_EX_TOPMOST));
        RECT rect;
        GetWindowRect(window, &rect);
        EXPECT_EQ(rect.left, 0);
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
        EXPECT_EQ(GetClassLongA(window, GCL_STYLE), 43u);
        EXPECT_EQ(GetClassLongA(window, GCLP_HCURSOR), 0u);
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(GetClassLongA(window, GCLP_HBRBACKGROUND)),
                  GetStockObject(BLACK_BRUSH));
        EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window; }));
        EXPECT_EQ(hostState.isPreviewChild, 0);
        checked = true;
        PostMessageA(window, WM_KEYDOWN, 'A', 0);  // any key ends it
    });
    EXPECT_TRUE(checked);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(IsWindow(hostState.saverWindow));
}

TEST_F(SaverWindowRun, ASecondFullScreenRunOnlyRaisesTheFirst) {
    int secondResult = 99;
    int windowsDuring = 0;
    const int result = RunWithCheck(nullptr, [&] {
        HWND first = hostState.saverWindow;
        // Something else takes the foreground; the second start gives it back to the saver.
        HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                     nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(other);
        secondResult = RunSaverWindow(nullptr);
        EXPECT_EQ(hostState.saverWindow, first);
        EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == first; }));
        for (HWND w = FindWindowExA(nullptr, nullptr, testSaverClass, nullptr); w != nullptr;
             w = FindWindowExA(nullptr, w, testSaverClass, nullptr))
            ++windowsDuring;
        DestroyWindow(other);
        PostMessageA(first, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(secondResult, 0);
    EXPECT_EQ(windowsDuring, 1);
    EXPECT_EQ(result, 0);
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeParent(int width, int height) {
    WNDCLASSA parentClass = {};
    parentClass.lpfnWndProc = PlainProc;
    parentClass.hInstance = GetModuleHandleA(nullptr);
    parentClass.lpszClassName = "PreviewHolder";
    RegisterClassA(&parentClass);
    return CreateWindowExA(0, "PreviewHolder", "Display", WS_POPUP | WS_VISIBLE, 50, 50, width,
                           height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

TEST_F(SaverWindowRun, PreviewFillsTheParentAndEndsWithIt) {
    for (SIZE size : {SIZE{152, 112}, SIZE{0, 0}}) {
        SCOPED_TRACE(size.cx);
        ResetSaverGlobals();
        HWND parent = MakeParent(size.cx, size.cy);
        ASSERT_NE(parent, nullptr);
        bool checked = false;
        const int result = RunWithCheck(parent, [&] {
            HWND child = hostState.saverWindow;
            ASSERT_NE(child, nullptr);
            EXPECT_EQ(GetParent(child), parent);
            char title[32] = {};
            GetWindowTextA(child, title, sizeof title);
            EXPECT_STREQ(title, "Preview");
            EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)),
                      static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN));
            EXPECT_EQ(GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
            RECT rect;
            GetClientRect(child, &rect);
            EXPECT_EQ(rect.right, size.cx);
            EXPECT_EQ(rect.bottom, size.cy);
            EXPECT_EQ(hostState.isPreviewChild, 1);
            checked = true;
            DestroyWindow(parent);  // the platform takes the child with it
        });
        EXPECT_TRUE(checked);
        EXPECT_EQ(result, 0);
        UnregisterClassA(testSaverClass, GetModuleHandleA(nullptr));
        DrainQuit();
    }
}

TEST_F(SaverWindowRun, AClassThatCannotBeRegisteredIsAFailure) {
    RegisterTestSaverClass();  // taken already: RegisterClassA fails
    EXPECT_EQ(RunSaverWindow(nullptr), -1);
    EXPECT_EQ(hostState.saverWindow, nullptr);
}

LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SaverWindowRun, AWindowThatCannotBeCreatedIsAFailure) {
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId());
    const int result = RunSaverWindow(nullptr);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(hostState.saverWindow, nullptr);
}

}  // namespace
