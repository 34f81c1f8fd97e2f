// The password lock and the change-password service on the Windows 95 family (win98 prefix), with
// the doubles of PASSWORD.CPL and MPR.DLL from bin/doubles/<variant>/.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "host/close_timing.h"
#include "host/win32/host_state.h"
#include "host/win32/password_lock.h"
#include "tests/wine/password_lock_support.h"

using namespace password_lock_support;

namespace {

constexpr const char* testWindowClass = "CorvantisPasswordLockTest";
constexpr const char* verifyControls[] = {"CORVANTIS_VERIFY_ANSWERS", "CORVANTIS_VERIFY_DELAY_MS",
                                          "CORVANTIS_VERIFY_FAULT", "CORVANTIS_VERIFY_REENTER"};

// What the test window saw. It answers WM_SAVER_VERIFY the way the saver's default procedure
// does, and hands every WM_CLOSE to VerifyOnClose.
struct CloseRequest {
    int32_t result;
    int32_t verifyingThen;
    bool operator==(const CloseRequest&) const = default;
};
void PrintTo(const CloseRequest& request, std::ostream* out) {
    *out << "{result " << request.result << ", verifying " << request.verifyingThen << "}";
}
struct WindowRecord {
    int verifyMessages = 0;
    int32_t verifyingAtPrompt = 0;
    bool timerPendingAtPrompt = false;
    std::vector<CloseRequest> closeRequests;
};
WindowRecord record;

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SAVER_VERIFY: {
        ++record.verifyMessages;
        record.verifyingAtPrompt = hostState.verifying;
        MSG pending;
        record.timerPendingAtPrompt = PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_NOREMOVE) != 0;
        return hostState.passwordVerifier != nullptr ? hostState.passwordVerifier(window) : 1;
    }
    case WM_CLOSE:
        record.closeRequests.push_back({VerifyOnClose(window), hostState.verifying});
        return 0;
    case WM_TIMER:
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND CreateTestWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = TestWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = testWindowClass;
        registered = RegisterClassA(&windowClass) != 0;
    }
    return CreateWindowExA(0, testWindowClass, "Screen Saver", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

// The pending WM_TIMER messages of a window, taken off the queue, by timer id.
std::vector<WPARAM> TakePendingTimers(HWND window) {
    std::vector<WPARAM> ids;
    MSG message;
    while (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
        ids.push_back(message.wParam);
    }
    return ids;
}

// Leaves a recognisable pattern on the part of the stack that the next call will use, so that a
// local the code under test forgets to initialise holds nonzero bytes.
__attribute__((noinline)) void PoisonStack() {
    volatile unsigned char junk[16384];
    for (auto& byte : junk) {
        byte = 0xA5;
    }
}

class PasswordLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostState = HostState{};
        hostState.isWindows95 = 1;
        record = WindowRecord{};
        SetSaverRunningFlag(0);
        DeleteUsePassword();
        logPath = FreshLogPath("verify");
        SetEnvironmentVariableA("CORVANTIS_VERIFY_LOG", logPath.c_str());
        for (const char* control : verifyControls) {
            SetEnvironmentVariableA(control, nullptr);
        }
        SetDllDirectoryA(DoublesFolder("verify").c_str());
        window = CreateTestWindow();
        ASSERT_NE(window, nullptr);
    }

    void TearDown() override {
        hostState.isWindows95 = 1;
        ReleasePasswordLock();
        DestroyWindow(window);
        DeleteUsePassword();
        SetDllDirectoryA(nullptr);
        for (const char* control : verifyControls) {
            SetEnvironmentVariableA(control, nullptr);
        }
        SetEnvironmentVariableA("CORVANTIS_VERIFY_LOG", nullptr);
        SetSaverRunningFlag(0);
        EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr) << "the provider was left loaded";
        DeleteFileA(logPath.c_str());
    }

    // Sets the switch, chooses the verifier's answers and arms the lock with the verifying provider.
    void ArmLock(const char* answers) {
        ASSERT_TRUE(WriteUsePassword(REG_DWORD, {1, 0, 0, 0}));
        SetEnvironmentVariableA("CORVANTIS_VERIFY_ANSWERS", answers);
        LoadPasswordLock();
        ASSERT_NE(hostState.passwordVerifier, nullptr);
    }

    size_t VerifierCalls() const { return LinesStartingWith(logPath, "call").size(); }

    HWND window = nullptr;
    std::string logPath;
};

// --- Arming the lock -------------------------------------------------------------------------------

TEST_F(PasswordLockTest, ArmsOnlyWithTheSwitchSetAndAVerifierFound) {
    const struct {
        const char* name;
        DWORD type;  // 0: the value is absent
        std::vector<BYTE> data;
        const char* variant;  // folder of PASSWORD.CPL under doubles/; "" = no provider anywhere
        int32_t isWindows95;
        bool armed;
        std::vector<std::string> providerLog;
    } cases[] = {
        {"switch 1", REG_DWORD, {1, 0, 0, 0}, "verify", 1, true, {"attach"}},
        {"switch with only its high byte set", REG_DWORD, {0, 0, 0, 0x80}, "verify", 1, true, {"attach"}},
        {"switch 0", REG_DWORD, {0, 0, 0, 0}, "verify", 1, false, {}},
        {"switch absent", 0, {}, "verify", 1, false, {}},
        {"one stored byte 1", REG_BINARY, {1}, "verify", 1, true, {"attach"}},
        // Only the stored byte is read: the other three must count as 0, not as stack contents.
        {"one stored byte 0", REG_BINARY, {0}, "verify", 1, false, {}},
        {"two stored bytes 0", REG_BINARY, {0, 0}, "verify", 1, false, {}},
        // Longer than the 4-byte buffer: the read fails, whatever the bytes say.
        {"eight stored bytes", REG_BINARY, {1, 1, 1, 1, 1, 1, 1, 1}, "verify", 1, false, {}},
        {"provider without the verifier", REG_DWORD, {1, 0, 0, 0}, "noentry", 1, false, {"attach", "detach free"}},
        {"no provider", REG_DWORD, {1, 0, 0, 0}, "", 1, false, {}},
        {"not the Windows 95 family", REG_DWORD, {1, 0, 0, 0}, "verify", 0, false, {}},
    };
    // The flag starts cleared and, to see that nothing withdraws what was never announced, set.
    for (const auto& c : cases) {
        for (const UINT flagBefore : {0u, 1u}) {
            SCOPED_TRACE(testing::Message() << c.name << ", running flag " << flagBefore);
            hostState = HostState{};
            hostState.isWindows95 = c.isWindows95;
            SetSaverRunningFlag(flagBefore);
            DeleteFileA(logPath.c_str());
            DeleteUsePassword();
            if (c.type != 0) {
                ASSERT_TRUE(WriteUsePassword(c.type, c.data));
            }
            const std::string folder =
                *c.variant != '\0' ? DoublesFolder(c.variant) : ExecutableFolder() + "\\doubles";
            SetDllDirectoryA(folder.c_str());

            PoisonStack();
            LoadPasswordLock();

            if (c.armed) {
                EXPECT_NE(hostState.passwordModule, nullptr);
                EXPECT_EQ(hostState.passwordModule, GetModuleHandleA("PASSWORD.CPL"));
                EXPECT_EQ(reinterpret_cast<void*>(hostState.passwordVerifier),
                          reinterpret_cast<void*>(GetProcAddress(hostState.passwordModule, "VerifyScreenSavePwd")));
                EXPECT_EQ(SaverRunningFlag(), 1u);
            } else {
                EXPECT_EQ(hostState.passwordModule, nullptr);
                EXPECT_EQ(hostState.passwordVerifier, nullptr);
                EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr);
                EXPECT_EQ(SaverRunningFlag(), flagBefore);
            }
            EXPECT_EQ(ReadLines(logPath), c.providerLog);

            hostState.isWindows95 = 1;
            ReleasePasswordLock();
            EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr);
            EXPECT_EQ(SaverRunningFlag(), c.armed ? 0u : flagBefore);
        }
    }
}

TEST_F(PasswordLockTest, ArmingAgainReleasesTheHeldProviderFirst) {
    ASSERT_NO_FATAL_FAILURE(ArmLock("1"));
    LoadPasswordLock();
    ASSERT_NE(hostState.passwordVerifier, nullptr);
    EXPECT_EQ(SaverRunningFlag(), 1u);
    EXPECT_EQ(ReadLines(logPath), (std::vector<std::string>{"attach", "detach free", "attach"}));

    // One release is enough now: the module was not loaded twice over.
    ReleasePasswordLock();
    EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr);
    EXPECT_EQ(SaverRunningFlag(), 0u);
}

TEST_F(PasswordLockTest, ReleasingTwiceFreesAndWithdrawsOnce) {
    ASSERT_NO_FATAL_FAILURE(ArmLock("1"));
    // A reference of the test's own keeps the module in memory, so a second FreeLibrary would show.
    HMODULE ownReference = LoadLibraryA("PASSWORD.CPL");
    ASSERT_EQ(ownReference, hostState.passwordModule);

    ReleasePasswordLock();
    EXPECT_EQ(hostState.passwordModule, nullptr);
    EXPECT_EQ(hostState.passwordVerifier, nullptr);
    EXPECT_EQ(SaverRunningFlag(), 0u);

    SetSaverRunningFlag(1);  // set by someone else: a second withdrawal would clear it
    ReleasePasswordLock();
    EXPECT_EQ(SaverRunningFlag(), 1u);
    EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), ownReference);

    FreeLibrary(ownReference);
    EXPECT_EQ(ReadLines(logPath), (std::vector<std::string>{"attach", "detach free"}));
}

TEST_F(PasswordLockTest, ReleaseOutsideTheWindows95FamilyLeavesEverything) {
    ASSERT_NO_FATAL_FAILURE(ArmLock("1"));
    const HMODULE module = hostState.passwordModule;
    hostState.isWindows95 = 0;
    ReleasePasswordLock();
    EXPECT_EQ(hostState.passwordModule, module);
    EXPECT_NE(hostState.passwordVerifier, nullptr);
    EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), module);
    EXPECT_EQ(SaverRunningFlag(), 1u);
}

TEST_F(PasswordLockTest, AnnouncesTheRunningSaverOnlyOnTheWindows95Family) {
    const struct {
        int32_t isWindows95;
        UINT flagBefore;
        int32_t running;
        UINT flagAfter;
    } cases[] = {
        {1, 0, 1, 1},
        {1, 1, 0, 0},
        {0, 0, 1, 0},
        {0, 1, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "isWindows95 " << c.isWindows95 << ", running " << c.running);
        hostState.isWindows95 = c.isWindows95;
        SetSaverRunningFlag(c.flagBefore);
        SetSaverRunning(c.running);
        EXPECT_EQ(SaverRunningFlag(), c.flagAfter);
    }
}

// --- Close requests ----------------------------------------------------------------------------------

TEST_F(PasswordLockTest, FirstRequestAsksAtOnceAndARefusalKeepsTheSaverWithTheCursorHidden) {
    ASSERT_NO_FATAL_FAILURE(ArmLock("0"));
    SetEnvironmentVariableA("CORVANTIS_VERIFY_DELAY_MS", "250");
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    SetCursor(arrow);
    ASSERT_EQ(GetCursor(), arrow);

    const int32_t result = VerifyOnClose(window);
    const DWORD after = GetTickCount();

    EXPECT_EQ(result, 0);
    EXPECT_EQ(hostState.closeAllowed, 0);
    EXPECT_EQ(hostState.verifying, 0);
    EXPECT_EQ(record.verifyMessages, 1);
    EXPECT_EQ(record.verifyingAtPrompt, 1);
    EXPECT_EQ(GetCursor(), nullptr);
    // The system's own view of the cursor, which Wine gives for the foreground thread.
    if (GetForegroundWindow() == window) {
        CURSORINFO cursor = {};
        cursor.cbSize = sizeof cursor;
        ASSERT_TRUE(GetCursorInfo(&cursor));
        EXPECT_EQ(cursor.hCursor, nullptr);
    }

    const auto calls = LinesStartingWith(logPath, "call");
    ASSERT_EQ(calls.size(), 1u);
    unsigned index = 0;
    unsigned long start = 0, end = 0, answer = 0;
    char handle[16] = {};
    ASSERT_EQ(std::sscanf(calls[0].c_str(), "call %u %lu %lu %15s %lu", &index, &start, &end, handle, &answer), 5);
    EXPECT_EQ(handle, HexHandle(window));
    // The retry interval counts from the end of the prompt, not from its start.
    EXPECT_GE(end - start, 250u);
    EXPECT_LE(hostState.lastVerifyTick - end, after - end);
}

TEST_F(PasswordLockTest, AnyNonzeroAnswerAllowsTheCloseAndIsKept) {
    ASSERT_NO_FATAL_FAILURE(ArmLock("1,7,-1"));
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    for (const int32_t answer : {1, 7, -1}) {
        SCOPED_TRACE(answer);
        hostState.closeAllowed = 0;
        hostState.lastVerifyTick = neverVerifiedTick;
        SetCursor(arrow);
        EXPECT_EQ(VerifyOnClose(window), answer);
        EXPECT_EQ(hostState.closeAllowed, answer);
        EXPECT_EQ(GetCursor(), arrow);
    }
    EXPECT_EQ(VerifierCalls(), 3u);
}

TEST_F(PasswordLockTest, NoNewPromptWithin200MillisecondsOfTheLastOne) {
    ASSERT_NO_FATAL_FAILURE(ArmLock("0"));  // every prompt is refused, so closeAllowed stays 0 throughout
    ASSERT_EQ(VerifyOnClose(window), 0);
    ASSERT_EQ(VerifierCalls(), 1u);

    // lastVerifyTick is placed "ago" milliseconds before the current tick count. The tick count
    // moves on during the request; a refusal is only judged on a request during which it moved
    // too little to reach 200 ms, retried until one such request was seen. (The wrap of the
    // counter cannot be reached here; the rule's wrap cases are tested on the core rule.)
    const struct {
        uint32_t ago;
        bool asks;
    } cases[] = {{0, false}, {100, false}, {199, false}, {200, true}, {1000, true}, {0x7FFFFFFF, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ago << " ms after the last prompt");
        if (c.asks) {
            const size_t callsBefore = VerifierCalls();
            hostState.lastVerifyTick = GetTickCount() - c.ago;
            EXPECT_EQ(VerifyOnClose(window), 0);
            EXPECT_EQ(VerifierCalls(), callsBefore + 1);
            continue;
        }
        bool judged = false;
        for (int attempt = 0; attempt < 1000 && !judged; ++attempt) {
            const size_t callsBefore = VerifierCalls();
            const DWORD before = GetTickCount();
            hostState.lastVerifyTick = before - c.ago;
            const int32_t result = VerifyOnClose(window);
            const DWORD after = GetTickCount();
            if (c.ago + (after - before) < 200) {
                judged = true;
                EXPECT_EQ(result, 0);
                EXPECT_EQ(VerifierCalls(), callsBefore);
            }
        }
        EXPECT_TRUE(judged) << "the tick count moved too fast to judge";
    }

    // A prompt that ends at the tick count 0xFFFFFFFF leaves the value that means "never", so the
    // next request asks at once, although the last prompt has only just ended.
    hostState.lastVerifyTick = neverVerifiedTick;
    const size_t callsBefore = VerifierCalls();
    EXPECT_EQ(VerifyOnClose(window), 0);
    EXPECT_EQ(VerifierCalls(), callsBefore + 1);
    EXPECT_NE(hostState.lastVerifyTick, neverVerifiedTick);
}

TEST_F(PasswordLockTest, ACloseRequestDuringThePromptIsRefusedWithoutASecondPrompt) {
    ASSERT_NO_FATAL_FAILURE(ArmLock("7"));
    // The verifier sends one WM_CLOSE and posts another, then dispatches messages, while it asks.
    SetEnvironmentVariableA("CORVANTIS_VERIFY_REENTER", "1");

    EXPECT_EQ(VerifyOnClose(window), 7);

    EXPECT_EQ(record.closeRequests, (std::vector<CloseRequest>{{0, 1}, {0, 1}}));
    EXPECT_EQ(record.verifyMessages, 1);
    EXPECT_EQ(VerifierCalls(), 1u);
    EXPECT_EQ(LinesStartingWith(logPath, "reenter"), (std::vector<std::string>{"reenter 0"}));
    EXPECT_EQ(hostState.closeAllowed, 7);
    EXPECT_EQ(hostState.verifying, 0);
}

TEST_F(PasswordLockTest, WithoutALockOrDuringAPromptNothingIsAsked) {
    const struct {
        const char* name;
        bool armed;
        int32_t verifying;
        int32_t result;
    } cases[] = {
        {"no lock", false, 0, 1},
        {"no lock, a prompt under way", false, 1, 0},
        {"lock, a prompt under way", true, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        hostState.isWindows95 = 1;
        ReleasePasswordLock();
        hostState = HostState{};
        hostState.isWindows95 = 1;
        record = WindowRecord{};
        if (c.armed) {
            ASSERT_NO_FATAL_FAILURE(ArmLock("1"));
        } else {
            DeleteUsePassword();
            LoadPasswordLock();
            ASSERT_EQ(hostState.passwordVerifier, nullptr);
        }
        hostState.verifying = c.verifying;
        PostMessageA(window, WM_TIMER, 1, 0);

        EXPECT_EQ(VerifyOnClose(window), c.result);

        EXPECT_EQ(hostState.closeAllowed, c.result);
        EXPECT_EQ(hostState.verifying, c.verifying);
        EXPECT_EQ(record.verifyMessages, 0);
        EXPECT_EQ(hostState.lastVerifyTick, neverVerifiedTick);
        EXPECT_EQ(TakePendingTimers(window), std::vector<WPARAM>{1});
    }
    EXPECT_EQ(VerifierCalls(), 0u);
}

TEST_F(PasswordLockTest, AtMostTwoPendingFrameTicksOfTheWindowAreDroppedBeforeThePrompt) {
    ASSERT_NO_FATAL_FAILURE(ArmLock("1"));
    HWND otherWindow = CreateTestWindow();
    ASSERT_NE(otherWindow, nullptr);
    for (WPARAM id : {1u, 2u, 3u}) {
        PostMessageA(window, WM_TIMER, id, 0);
    }
    PostMessageA(otherWindow, WM_TIMER, 9, 0);

    EXPECT_EQ(VerifyOnClose(window), 1);

    EXPECT_TRUE(record.timerPendingAtPrompt);
    EXPECT_EQ(TakePendingTimers(window), std::vector<WPARAM>{3});
    EXPECT_EQ(TakePendingTimers(otherWindow), std::vector<WPARAM>{9});
    DestroyWindow(otherWindow);
}

TEST_F(PasswordLockTest, ADueTimerTickIsDroppedBeforeThePrompt) {
    ASSERT_NO_FATAL_FAILURE(ArmLock("1"));
    // A real timer: wait (bounded) until its tick is due, without taking it off the queue. The
    // period is long enough that the timer, restarted when its tick is taken, is not due again
    // by the time the prompt starts.
    ASSERT_NE(SetTimer(window, 5, 1000, nullptr), 0u);
    MSG pending;
    const DWORD start = GetTickCount();
    bool due = false;
    while (!(due = PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_NOREMOVE) != 0) &&
           GetTickCount() - start < 20000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_TIMER);
    }
    ASSERT_TRUE(due);

    EXPECT_EQ(VerifyOnClose(window), 1);

    EXPECT_EQ(record.verifyMessages, 1);
    EXPECT_FALSE(record.timerPendingAtPrompt);
    KillTimer(window, 5);
}

// --- The verifier double itself -------------------------------------------------------------------

// Run in a child process by the test below: calls the verifier that was told to fault.
TEST(VerifierDoubleChild, CallsTheFaultingVerifier) {
    if (EnvText("CORVANTIS_FAULT_CHILD") != "1") {
        GTEST_SKIP() << "runs only as the child of VerifierDouble.FaultsWhenAsked";
    }
    HMODULE module = LoadLibraryA((DoublesFolder("verify") + "\\PASSWORD.CPL").c_str());
    ASSERT_NE(module, nullptr);
    auto verify = reinterpret_cast<VerifyScreenSavePwdProc>(
        reinterpret_cast<void*>(GetProcAddress(module, "VerifyScreenSavePwd")));
    ASSERT_NE(verify, nullptr);
    verify(nullptr);
    ADD_FAILURE() << "the verifier returned";
}

// Other tests rely on this: with CORVANTIS_VERIFY_FAULT the verifier faults, which ends a process
// without a handler of its own with the exception code.
TEST(VerifierDouble, FaultsWhenAsked) {
    SetEnvironmentVariableA("CORVANTIS_FAULT_CHILD", "1");
    SetEnvironmentVariableA("CORVANTIS_VERIFY_FAULT", "1");
    EXPECT_EQ(RunSelfAsChild("VerifierDoubleChild.*"), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    // A real write to address 0: an access violation on Windows; under qemu user emulation Wine
    // reports an illegal instruction.
    SetEnvironmentVariableA("CORVANTIS_VERIFY_FAULT", "2");
    const DWORD exitCode = RunSelfAsChild("VerifierDoubleChild.*");
    EXPECT_TRUE(exitCode == EXCEPTION_ACCESS_VIOLATION || exitCode == EXCEPTION_ILLEGAL_INSTRUCTION)
        << std::hex << exitCode;
    SetEnvironmentVariableA("CORVANTIS_FAULT_CHILD", nullptr);
    SetEnvironmentVariableA("CORVANTIS_VERIFY_FAULT", nullptr);
}

// --- Changing the password ---------------------------------------------------------------------------

// Under Wine a bare LoadLibraryA("MPR.DLL") gives Wine's built-in MPR even with the double in the
// SetDllDirectoryA folder (measured: the module then carries the double's file name but the
// built-in's code). Wine fixes a process's DLL load order when the process starts, and a
// WINEDLLOVERRIDES set with SetEnvironmentVariableA reaches neither this process nor a child it
// starts (measured: the child sees the value the parent started with). What works is the
// per-program registry setting HKCU\Software\Wine\AppDefaults\<exe>\DllOverrides, read when a
// process starts. So the change is requested in a child process of this executable, started after
// that setting says "native,builtin" (the double), or "native" with no MPR.DLL in reach (no
// MPR.DLL at all); RequestPasswordChange keeps its bare "MPR.DLL" lookup.

std::string AppDefaultsKey() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string file = path;
    return "Software\\Wine\\AppDefaults\\" + file.substr(file.find_last_of('\\') + 1);
}

bool SetMprLoadOrder(const char* order) {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, (AppDefaultsKey() + "\\DllOverrides").c_str(), &key) != ERROR_SUCCESS) {
        return false;
    }
    const LONG status = RegSetValueExA(key, "mpr", 0, REG_SZ, reinterpret_cast<const BYTE*>(order),
                                       static_cast<DWORD>(std::strlen(order) + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// Run in a child process by the test below.
TEST(PasswordChangeChild, RequestsTheChange) {
    const std::string folder = EnvText("CORVANTIS_MPR_CHILD_FOLDER");
    if (folder.empty()) {
        GTEST_SKIP() << "runs only as the child of PasswordChange.HandsTheTaskToMprWhenItCan";
    }
    ASSERT_TRUE(SetDllDirectoryA(folder.c_str()));
    ASSERT_EQ(GetModuleHandleA("MPR.DLL"), nullptr);
    const HWND parent =
        reinterpret_cast<HWND>(std::strtoul(EnvText("CORVANTIS_MPR_CHILD_PARENT").c_str(), nullptr, 10));

    RequestPasswordChange(parent);

    EXPECT_EQ(GetModuleHandleA("MPR.DLL"), nullptr) << "MPR.DLL was not freed";
    if (EnvText("CORVANTIS_MPR_CHILD_ABSENT") == "1") {
        EXPECT_EQ(LoadLibraryA("MPR.DLL"), nullptr) << "an MPR.DLL was there after all";
    }
}

TEST(PasswordChange, HandsTheTaskToMprWhenItCan) {
    HWND parent = CreateTestWindow();
    ASSERT_NE(parent, nullptr);
    const std::string logPath = FreshLogPath("mpr");
    const struct {
        const char* name;
        std::string folder;
        const char* loadOrder;
        bool absent;
        std::vector<std::string> log;
    } cases[] = {
        {"MPR.DLL with the service", DoublesFolder("mpr"), "native,builtin", false,
         {"attach", "change SCRSAVE " + HexHandle(parent) + " 0 00000000", "detach free"}},
        {"MPR.DLL without the service", DoublesFolder("mpr-noentry"), "native,builtin", false,
         {"attach", "detach free"}},
        {"no MPR.DLL", ExecutableFolder() + "\\doubles", "native", true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(logPath.c_str());
        ASSERT_TRUE(SetMprLoadOrder(c.loadOrder));
        SetEnvironmentVariableA("CORVANTIS_MPR_LOG", logPath.c_str());
        SetEnvironmentVariableA("CORVANTIS_MPR_CHILD_FOLDER", c.folder.c_str());
        SetEnvironmentVariableA("CORVANTIS_MPR_CHILD_PARENT",
                                std::to_string(reinterpret_cast<UINT_PTR>(parent)).c_str());
        SetEnvironmentVariableA("CORVANTIS_MPR_CHILD_ABSENT", c.absent ? "1" : nullptr);

        EXPECT_EQ(RunSelfAsChild("PasswordChangeChild.*"), 0u);
        EXPECT_EQ(ReadLines(logPath), c.log);
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, AppDefaultsKey().c_str());
    for (const char* name : {"CORVANTIS_MPR_LOG", "CORVANTIS_MPR_CHILD_FOLDER", "CORVANTIS_MPR_CHILD_PARENT",
                             "CORVANTIS_MPR_CHILD_ABSENT"}) {
        SetEnvironmentVariableA(name, nullptr);
    }
    DeleteFileA(logPath.c_str());
    DestroyWindow(parent);
}

}  // namespace
