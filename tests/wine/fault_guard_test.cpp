// The fault guard under Wine. A fault ends the process, so each fault case runs in a child: this
// executable started again with the switch --fault-guard-child=NAME, which runs the case's routine
// under the guard instead of the tests. The switch --read-saver-running makes a child that returns
// the screen-saver-running flag: a process keeps the first value of the flag it reads, so only a
// fresh one sees what another process set.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/win32/fault_guard.h"
#include "host/win32/host_state.h"

namespace {

constexpr char childSwitch[] = "--fault-guard-child=";
constexpr char readFlagSwitch[] = "--read-saver-running";
constexpr DWORD raisedCode = 0xE0C0FFEE;  // a software exception, not one of the system's
// The exit code of a child whose fault got past the guard to the frame linked outside it.
constexpr UINT passedGuardExitCode = 0x0BAD0BAD;
constexpr UINT_PTR faultTimerId = 7;
constexpr UINT faultMessage = WM_APP + 1;

EXCEPTION_REGISTRATION_RECORD* HandlerChainHead() {
    EXCEPTION_REGISTRATION_RECORD* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

// A store through a null pointer, as one 6-byte instruction (movl $1, (%eax)) so that a filter can
// step over it.
constexpr DWORD nullWriteLength = 6;
void WriteThroughNull() {
    asm volatile("xorl %%eax, %%eax\n\tmovl $1, (%%eax)" : : : "eax", "memory");
}

// The same fault as the system's exception dispatcher raises it for a store to address 0.
void RaiseAccessViolation() {
    const ULONG_PTR information[2] = {1, 0};  // a write, at address 0
    RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 2, information);
}

// ---- Routines that the children run under the guard.

int FaultDirectly(const void*) {
    WriteThroughNull();
    return 0;
}

int RaiseDirectly(const void*) {
    RaiseAccessViolation();
    return 0;
}

int ReturnNormally(const void*) {
    return 0x1234;
}

int RaiseSoftwareException(const void*) {
    RaiseException(raisedCode, 0, 0, nullptr);
    return 0;
}

enum class FaultKind { store, raised };
FaultKind windowFaultKind = FaultKind::store;

LRESULT CALLBACK FaultingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == faultMessage || (message == WM_TIMER && wParam == faultTimerId)) {
        if (windowFaultKind == FaultKind::store) {
            WriteThroughNull();
        } else {
            RaiseAccessViolation();
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A message loop like the saver's; the window procedure faults on the first posted message or on
// the first tick of its timer.
int FaultInWindowProc(FaultKind kind, bool onTimer) {
    windowFaultKind = kind;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FaultingWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "FaultGuardTestWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) return 3;
    if (onTimer) {
        SetTimer(window, faultTimerId, 10, nullptr);
    } else {
        PostMessageA(window, faultMessage, 0, 0);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 4;
}

int StoreInPostedMessage(const void*) {
    return FaultInWindowProc(FaultKind::store, false);
}

int StoreOnTimerTick(const void*) {
    return FaultInWindowProc(FaultKind::store, true);
}

int RaiseInPostedMessage(const void*) {
    return FaultInWindowProc(FaultKind::raised, false);
}

int RaiseOnTimerTick(const void*) {
    return FaultInWindowProc(FaultKind::raised, true);
}

// Stands for the code that the platform gives a store through null: EXCEPTION_ACCESS_VIOLATION on
// x86 hardware. (Where Wine runs under a user-mode CPU emulator the signal may lack the page-fault
// trap number, and Wine then reports EXCEPTION_ILLEGAL_INSTRUCTION; that code is accepted only when
// this process sees its own store reported so.)
constexpr DWORD storeFaultCode = 0;

struct ChildCase {
    const char* name;
    GuardedRoutine routine;
    DWORD expectedExitCode;  // storeFaultCode: what the platform reports for the store
    bool announcedAfter;     // the saver-running flag once the child has ended
};

constexpr ChildCase childCases[] = {
    {"store", FaultDirectly, storeFaultCode, false},
    {"store-in-posted-message", StoreInPostedMessage, storeFaultCode, false},
    {"store-on-timer-tick", StoreOnTimerTick, storeFaultCode, false},
    {"access-violation", RaiseDirectly, EXCEPTION_ACCESS_VIOLATION, false},
    {"access-violation-in-posted-message", RaiseInPostedMessage, EXCEPTION_ACCESS_VIOLATION, false},
    {"access-violation-on-timer-tick", RaiseOnTimerTick, EXCEPTION_ACCESS_VIOLATION, false},
    {"software-exception", RaiseSoftwareException, raisedCode, false},
    // Without a fault the guard withdraws nothing: the announcement stays, as the child left it.
    {"no-fault", ReturnNormally, 0x1234, true},
};

EXCEPTION_DISPOSITION __cdecl PastTheGuardHandler(EXCEPTION_RECORD* record, void*, CONTEXT*, void*) {
    if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) == 0) {
        ExitProcess(passedGuardExitCode);
    }
    return ExceptionContinueSearch;
}

// The child: announces a running saver (as the password lock does on the Windows 95 family), then
// runs the case under the guard with a frame of its own linked outside it, which tells a fault
// that went past the guard from one the guard ended.
int RunChild(const char* name) {
    for (const ChildCase& childCase : childCases) {
        if (std::strcmp(childCase.name, name) != 0) continue;
        hostState.isWindows95 = 1;
        UINT previous = 0;
        SystemParametersInfoA(SPI_SCREENSAVERRUNNING, TRUE, &previous, 0);
        EXCEPTION_REGISTRATION_RECORD outer;
        outer.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(PastTheGuardHandler);
        outer.Next = HandlerChainHead();
        asm volatile("movl %0, %%fs:0" : : "r"(&outer) : "memory");
        const int result = RunUnderFaultGuard(childCase.routine, nullptr);
        asm volatile("movl %0, %%fs:0" : : "r"(outer.Next) : "memory");
        return result;
    }
    return 2;
}

// ---- The parent's side.

void SetScreenSaverRunning(BOOL running) {
    UINT previous = 0;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, running, &previous, 0);
}

// Starts this executable with the switch and returns the child's full 32-bit exit code.
DWORD RunChildProcess(const std::string& switchText) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string commandLine = std::string("\"") + path + "\" " + switchText;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "CreateProcessA failed: " << GetLastError();
        return 0;
    }
    const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
    EXPECT_EQ(waited, WAIT_OBJECT_0) << "the child " << switchText << " did not end";
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

// UnhandledExceptionFilter hands a fault to the process's top-level filter first and returns its
// answer when that is not EXCEPTION_CONTINUE_SEARCH.
LONG topFilterAnswer = EXCEPTION_CONTINUE_SEARCH;
DWORD topFilterSawCode = 0;
int topFilterCalls = 0;

LONG WINAPI RecordingTopFilter(EXCEPTION_POINTERS* pointers) {
    ++topFilterCalls;
    topFilterSawCode = pointers->ExceptionRecord->ExceptionCode;
    if (topFilterAnswer == EXCEPTION_CONTINUE_EXECUTION) {
        pointers->ContextRecord->Eip += nullWriteLength;
    }
    return topFilterAnswer;
}

int StoreThenReturn(const void*) {
    WriteThroughNull();
    return 55;
}

// Runs a store through null under the guard with a top-level filter that steps over it and
// continues; returns the exception code the filter saw.
DWORD MeasureStoreFault() {
    topFilterAnswer = EXCEPTION_CONTINUE_EXECUTION;
    topFilterCalls = 0;
    topFilterSawCode = 0;
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(RecordingTopFilter);
    const int result = RunUnderFaultGuard(StoreThenReturn, nullptr);
    SetUnhandledExceptionFilter(previous);
    EXPECT_EQ(result, 55);
    EXPECT_EQ(topFilterCalls, 1);
    return topFilterSawCode;
}

TEST(FaultGuard, ContinuesExecutionWhenTheFilterSaysSo) {
    const DWORD code = MeasureStoreFault();
    EXPECT_TRUE(code == EXCEPTION_ACCESS_VIOLATION || code == EXCEPTION_ILLEGAL_INSTRUCTION)
        << std::hex << "0x" << code;
}

bool FreshSaverRunningFlag() {
    return RunChildProcess(readFlagSwitch) == 1;
}

TEST(FaultGuard, EndsTheProcessWithTheFaultsCodeAndWithdrawsTheAnnouncement) {
    const DWORD storeCode = MeasureStoreFault();
    for (const ChildCase& childCase : childCases) {
        SCOPED_TRACE(childCase.name);
        SetScreenSaverRunning(FALSE);
        const DWORD exitCode = RunChildProcess(std::string(childSwitch) + childCase.name);
        if (childCase.expectedExitCode == storeFaultCode) {
            EXPECT_TRUE(exitCode == EXCEPTION_ACCESS_VIOLATION || exitCode == storeCode)
                << std::hex << "exit code 0x" << exitCode;
        } else {
            EXPECT_EQ(exitCode, childCase.expectedExitCode) << std::hex << "exit code 0x" << exitCode;
        }
        EXPECT_EQ(FreshSaverRunningFlag(), childCase.announcedAfter);
    }
    SetScreenSaverRunning(FALSE);
}

// ---- In-process behaviour of the guard's frame.

struct ChainObservation {
    EXCEPTION_REGISTRATION_RECORD* headBefore;
    EXCEPTION_REGISTRATION_RECORD* headInside;
    EXCEPTION_REGISTRATION_RECORD frameInside;  // copied while it is alive
};

int ObserveChain(const void* argument) {
    auto* observation = static_cast<ChainObservation*>(const_cast<void*>(argument));
    observation->headInside = HandlerChainHead();
    observation->frameInside = *observation->headInside;
    return 0x7FEDCBA9;
}

TEST(FaultGuard, LinksItsFrameForTheRoutineAndUnlinksItAfter) {
    ChainObservation observation = {HandlerChainHead(), nullptr, {}};
    EXPECT_EQ(RunUnderFaultGuard(ObserveChain, &observation), 0x7FEDCBA9);
    EXPECT_EQ(HandlerChainHead(), observation.headBefore);
    EXPECT_EQ(observation.frameInside.Next, observation.headBefore);
    EXPECT_EQ(reinterpret_cast<void*>(observation.frameInside.Handler),
              reinterpret_cast<void*>(FaultGuardHandler));
    // The frame lies on the stack, below the caller's frame, as the dispatcher requires.
    uintptr_t stackLimit;  // the thread's lowest committed stack address
    asm volatile("movl %%fs:8, %0" : "=r"(stackLimit));
    const auto frameAddress = reinterpret_cast<uintptr_t>(observation.headInside);
    EXPECT_GT(frameAddress, stackLimit);
    EXPECT_LT(frameAddress, reinterpret_cast<uintptr_t>(&observation));
}

TEST(FaultGuard, HandlerLeavesUnwindsAlone) {
    topFilterAnswer = EXCEPTION_EXECUTE_HANDLER;  // would end the process if it were asked
    topFilterCalls = 0;
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(RecordingTopFilter);
    for (DWORD flags : {DWORD{EXCEPTION_UNWINDING}, DWORD{EXCEPTION_EXIT_UNWIND},
                        DWORD{EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND}}) {
        EXCEPTION_RECORD record = {};
        record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
        record.ExceptionFlags = flags;
        CONTEXT context = {};
        EXPECT_EQ(FaultGuardHandler(&record, nullptr, &context, nullptr), ExceptionContinueSearch);
    }
    SetUnhandledExceptionFilter(previous);
    EXPECT_EQ(topFilterCalls, 0);
}

// On real Windows the dispatcher calls a frame's handler only when the image allows it: the image
// must not say it uses no handlers, and a safe-handler table, when the image has one, must list it.
TEST(FaultGuard, ImageAllowsTheHandler) {
    auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    EXPECT_EQ(nt->OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_NO_SEH, 0);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG];
    if (directory.VirtualAddress == 0) return;  // no table: every handler of the image is allowed
    auto* config = reinterpret_cast<const IMAGE_LOAD_CONFIG_DIRECTORY32*>(base + directory.VirtualAddress);
    if (config->Size < offsetof(IMAGE_LOAD_CONFIG_DIRECTORY32, SEHandlerCount) + sizeof(DWORD) ||
        config->SEHandlerTable == 0) {
        return;
    }
    const auto handlerRva = static_cast<DWORD>(reinterpret_cast<const BYTE*>(FaultGuardHandler) - base);
    auto* table = reinterpret_cast<const DWORD*>(config->SEHandlerTable);
    bool listed = false;
    for (DWORD i = 0; i < config->SEHandlerCount; ++i) listed = listed || table[i] == handlerRva;
    EXPECT_TRUE(listed);
}

}  // namespace

// The test executable's own entry: a child run, or the tests.
int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], readFlagSwitch) == 0) {
            BOOL running = FALSE;
            SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
            return running ? 1 : 0;
        }
        if (std::strncmp(argv[i], childSwitch, sizeof childSwitch - 1) == 0) {
            return RunChild(argv[i] + sizeof childSwitch - 1);
        }
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
