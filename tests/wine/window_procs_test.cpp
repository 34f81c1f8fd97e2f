// The three layers of the saver window (host, saver, default) driven with real windows and real
// messages, outside the Windows 95 family: no password is ever asked.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/saver_window_fixture.h"

namespace {

HCURSOR Arrow() {
    return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
}

class FullScreenSaver : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSaverGlobals();
        RegisterTestSaverClass();
        ASSERT_TRUE(MoveCursorTo(100, 100));
        window = CreateWindowExA(WS_EX_TOPMOST, testSaverClass, "Screen Saver",
                                 WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                 320, 240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        while (TakePostedClose(window)) {
        }
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        DrainQuit();
    }
    HWND window = nullptr;
};

struct InputCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    bool postsClose;
};

TEST_F(FullScreenSaver, KeysButtonsAndLossOfActivationPostACloseOtherInputDoesNot) {
    const InputCase cases[] = {
        {"key press", WM_KEYDOWN, 'A', true},
        {"system key press", WM_SYSKEYDOWN, 'A', true},
        {"left button", WM_LBUTTONDOWN, 0, true},
        {"right button", WM_RBUTTONDOWN, 0, true},
        {"middle button", WM_MBUTTONDOWN, 0, true},
        {"activation lost", WM_ACTIVATEAPP, 0, true},
        {"activation gained", WM_ACTIVATEAPP, 1, false},
        {"key release", WM_KEYUP, 'A', false},
        {"character", WM_CHAR, 'a', false},
        {"double click", WM_LBUTTONDBLCLK, 0, false},
        {"button release", WM_LBUTTONUP, 0, false},
        {"wheel", WM_MOUSEWHEEL, 0, false},
    };
    for (const InputCase& c : cases) {
        SCOPED_TRACE(c.name);
        SendMessageA(window, c.message, c.wParam, 0);
        EXPECT_EQ(TakePostedClose(window), c.postsClose);
        EXPECT_FALSE(TakePostedClose(window));
        EXPECT_TRUE(IsWindow(window));
    }
}

TEST_F(FullScreenSaver, CursorIsHiddenAndTheTitleNeverChanges) {
    SetCursor(Arrow());
    EXPECT_EQ(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              1);
    EXPECT_EQ(GetCursor(), nullptr);

    SetCursor(Arrow());
    SendMessageA(window, WM_SHOWWINDOW, TRUE, 0);
    EXPECT_EQ(GetCursor(), nullptr);

    EXPECT_EQ(SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other")), 0);
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Screen Saver");
}

TEST_F(FullScreenSaver, TaskSwitchAndScreenSaveCommandsAreDroppedCloseIsPassedOn) {
    for (WPARAM command : {WPARAM{SC_SCREENSAVE}, WPARAM{SC_NEXTWINDOW}, WPARAM{SC_PREVWINDOW}}) {
        EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, command, 0), 0);
        EXPECT_TRUE(IsWindow(window));
    }
    // SC_CLOSE reaches the default procedure, which sends WM_CLOSE: without a password the
    // window is destroyed at once.
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(FullScreenSaver, MovementIsMeasuredFromTheAnchor) {
    // Anchor (100, 100) from creation; the distance is horizontal plus vertical.
    struct Step {
        int x, y;
        bool postsClose;
    };
    const Step steps[] = {
        {103, 101, false},  // 4: not beyond the threshold
        {103, 102, true},   // 5: closes and becomes the anchor
        {105, 104, false},  // 4 from the new anchor
        {106, 104, true},   // 5 from (103, 102)
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << s.x << "," << s.y);
        ASSERT_TRUE(MoveCursorTo(s.x, s.y));
        SendMessageA(window, WM_MOUSEMOVE, 0, 0);
        EXPECT_EQ(TakePostedClose(window), s.postsClose);
    }
    EXPECT_EQ(hostState.lastCursorPos.x, 106);
    EXPECT_EQ(hostState.lastCursorPos.y, 104);
}

TEST_F(FullScreenSaver, SmallMovementsAddUpAndComingBackUndoesThem) {
    for (int x : {102, 104}) {
        ASSERT_TRUE(MoveCursorTo(x, 100));
        SendMessageA(window, WM_MOUSEMOVE, 0, 0);
        EXPECT_FALSE(TakePostedClose(window));
    }
    ASSERT_TRUE(MoveCursorTo(100, 100));
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_FALSE(TakePostedClose(window));
    ASSERT_TRUE(MoveCursorTo(105, 100));
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_TRUE(TakePostedClose(window));
}

TEST_F(FullScreenSaver, EachTimerTickDrawsOneFrameUntilClosingIsAllowed) {
    EXPECT_NE(frameTimer, 0u);
    EXPECT_EQ(surfaceWidth, 320);
    EXPECT_EQ(surfaceHeight, 240);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(SendMessageA(window, WM_TIMER, 1, 0), 0);
    EXPECT_EQ(animationState.colourLevel, 3);
    // Any timer identifier draws.
    SendMessageA(window, WM_TIMER, 77, 0);
    EXPECT_EQ(animationState.colourLevel, 4);

    hostState.closeAllowed = 1;
    EXPECT_EQ(SendMessageA(window, WM_TIMER, 1, 0), 0);
    EXPECT_EQ(animationState.colourLevel, 4);
    // Input now gets default processing only.
    SendMessageA(window, WM_KEYDOWN, 'A', 0);
    EXPECT_FALSE(TakePostedClose(window));
}

TEST_F(FullScreenSaver, WmCloseDestroysAtOnceAndThePostsTheQuitMessage) {
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

TEST(SaverWindowLayers, SizeMessagesKeepTheLowAndHighWordsUnsigned) {
    ResetSaverGlobals();
    RegisterTestSaverClass();
    HWND window = CreateWindowExA(0, testSaverClass, "Screen Saver", WS_POPUP, 0, 0, 10, 10,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageA(window, WM_SIZE, 0, static_cast<LPARAM>(0xFFFE8001u)), 0);
    EXPECT_EQ(surfaceWidth, 0x8001);
    EXPECT_EQ(surfaceHeight, 0xFFFE);
    DestroyWindow(window);
    DrainQuit();
}

// The input method is detached at creation and given back at destruction, when IMM32 is loaded.
HWND imeWindow = nullptr;
HIMC contextAfterDestroy = nullptr;
HIMC(WINAPI* immGetContext)(HWND) = nullptr;
BOOL(WINAPI* immReleaseContext)(HWND, HIMC) = nullptr;

LRESULT CALLBACK AfterWindowProc(int code, WPARAM wParam, LPARAM lParam) {
    const auto* info = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && info->hwnd == imeWindow && info->message == WM_DESTROY) {
        contextAfterDestroy = immGetContext(imeWindow);
        immReleaseContext(imeWindow, contextAfterDestroy);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(SaverWindowLayers, InputMethodIsDetachedAtCreationAndRestoredAtDestruction) {
    ResetSaverGlobals();
    RegisterTestSaverClass();
    HMODULE imm = LoadLibraryA("IMM32.DLL");
    ASSERT_NE(imm, nullptr);
    immGetContext = reinterpret_cast<decltype(immGetContext)>(
        reinterpret_cast<void*>(GetProcAddress(imm, "ImmGetContext")));
    immReleaseContext = reinterpret_cast<decltype(immReleaseContext)>(
        reinterpret_cast<void*>(GetProcAddress(imm, "ImmReleaseContext")));
    ASSERT_NE(immGetContext, nullptr);

    imeWindow = CreateWindowExA(0, testSaverClass, "Screen Saver", WS_POPUP, 0, 0, 10, 10,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(imeWindow, nullptr);
    EXPECT_EQ(hostState.imeModule, imm);
    ASSERT_NE(hostState.savedImeContext, nullptr) << "the window had no input context to detach";
    EXPECT_EQ(immGetContext(imeWindow), nullptr);

    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterWindowProc, nullptr, GetCurrentThreadId());
    DestroyWindow(imeWindow);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(contextAfterDestroy, hostState.savedImeContext);
    DrainQuit();
}

// A preview child inside a parent window of this process.
LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

class PreviewSaver : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSaverGlobals();
        RegisterTestSaverClass();
        WNDCLASSA parentClass = {};
        parentClass.lpfnWndProc = ParentProc;
        parentClass.hInstance = GetModuleHandleA(nullptr);
        parentClass.lpszClassName = "PreviewParent";
        RegisterClassA(&parentClass);
        parent = CreateWindowExA(WS_EX_TOPMOST, "PreviewParent", "Display", WS_POPUP | WS_VISIBLE,
                                 400, 300, 152, 112, nullptr, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
        ASSERT_NE(parent, nullptr);
        hostState.isPreviewChild = 1;
        // The caption is shown when the command line holds "/p"; this process's does not, so
        // the scan's outcome is given here.
        isPreview = 1;
        child = CreateWindowExA(0, testSaverClass, "Preview", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                0, 0, 152, 112, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(child, nullptr);
    }
    void TearDown() override {
        if (IsWindow(parent)) DestroyWindow(parent);
        DrainQuit();
    }
    HWND parent = nullptr;
    HWND child = nullptr;
};

TEST_F(PreviewSaver, NoInputClosesIt) {
    SetCursor(Arrow());
    ASSERT_TRUE(MoveCursorTo(10, 10));
    for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN,
                         WM_MBUTTONDOWN, WM_ACTIVATEAPP, WM_MOUSEMOVE}) {
        SendMessageA(child, message, 0, 0);
        EXPECT_FALSE(TakePostedClose(child)) << message;
    }
    EXPECT_EQ(GetCursor(), Arrow());  // the cursor is never touched in a preview
    EXPECT_TRUE(IsWindow(child));
    // The title is kept here too, and SC_SCREENSAVE is not dropped (it reaches the default
    // procedure) but closes nothing.
    EXPECT_EQ(SendMessageA(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other")), 0);
    char title[64] = {};
    GetWindowTextA(child, title, sizeof title);
    EXPECT_STREQ(title, "Preview");
    // WM_CLOSE needs no password: the window goes.
    SendMessageA(child, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(child));
}

TEST_F(PreviewSaver, HelpRequestsGoToTheParentWithItsHandle) {
    for (UINT message : {UINT{WM_HELP}, UINT{WM_CONTEXTMENU}}) {
        // WM_HELP carries a pointer in lParam, and Wine (like Windows) refuses to post such a
        // message; the request is then lost, but the answer is still 1.
        const bool postable = PostMessageA(parent, message, 0, 0) != 0;
        MSG probe;
        if (postable) PeekMessageA(&probe, parent, message, message, PM_REMOVE);
        EXPECT_EQ(SendMessageA(child, message, 1234, 5678), 1);
        if (!postable) {
            EXPECT_EQ(message, static_cast<UINT>(WM_HELP));
            EXPECT_FALSE(PeekMessageA(&probe, parent, message, message, PM_REMOVE));
            continue;
        }
        MSG posted;
        ASSERT_TRUE(PeekMessageA(&posted, parent, message, message, PM_REMOVE)) << message;
        EXPECT_EQ(posted.wParam, reinterpret_cast<WPARAM>(parent));
        EXPECT_EQ(posted.lParam, 5678);
    }
}

TEST_F(PreviewSaver, RunsNoTimerAndDrawsTheCaptionLeftOfAndAboveTheCentre) {
    EXPECT_EQ(frameTimer, 0u);
    EXPECT_EQ(surfaceWidth, 152);
    EXPECT_EQ(surfaceHeight, 112);
    RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);

    // Read the child's pixels back.
    HDC windowDc = GetDC(child);
    HDC memory = CreateCompatibleDC(windowDc);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 152;
    info.bmiHeader.biHeight = -112;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, 152, 112, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    auto pixel = [&](int x, int y) { return static_cast<const DWORD*>(bits)[y * 152 + x] & 0xFFFFFF; };

    // The caption's opaque white box starts at (152 / 2 - 45, 112 / 2 - 5) = (31, 51).
    EXPECT_EQ(pixel(31, 51), 0xFFFFFFu);
    EXPECT_EQ(pixel(30, 51), 0u);
    EXPECT_EQ(pixel(31, 50), 0u);
    EXPECT_EQ(pixel(5, 5), 0u);
    int dark = 0;
    for (int y = 51; y < 66; ++y)
        for (int x = 31; x < 110; ++x)
            if (pixel(x, y) == 0) ++dark;
    EXPECT_GT(dark, 20) << "no black text in the caption box";

    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(child, windowDc);

    // No frame timer: no WM_TIMER reaches the window within several ticks' time.
    MSG timer;
    const DWORD start = GetTickCount();
    bool sawTimer = false;
    while (GetTickCount() - start < 300 && !sawTimer) {
        sawTimer = PeekMessageA(&timer, child, WM_TIMER, WM_TIMER, PM_REMOVE) != 0;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_TIMER);
    }
    EXPECT_FALSE(sawTimer);
}

}  // namespace
