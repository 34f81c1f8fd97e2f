#include "tests/e2e/support/saver_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/e2e/support/saver_windows.h"

namespace {

// Every process a test started, ended at the latest when the test program ends: a saver left
// running by a failed test would hold the test's output open and confuse the tests after it.
std::vector<HANDLE> startedProcesses;

void EndLeftoverSavers() {
    for (HANDLE process : startedProcesses) {
        if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 10000);
        }
        CloseHandle(process);
    }
    startedProcesses.clear();
}

void RememberProcess(HANDLE process) {
    if (startedProcesses.empty()) std::atexit(EndLeftoverSavers);
    HANDLE copy = nullptr;
    if (DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        startedProcesses.push_back(copy);
    }
}

}  // namespace

std::string ExecutableFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full = path;
    return full.substr(0, full.find_last_of('\\'));
}

std::string BuiltSaverPath() {
    return ExecutableFolder() + "\\corvantis.scr";
}

SaverProcess StartSaverProcess(const std::string& tail, const std::string& saverPath, bool suspended) {
    std::string commandLine = "\"" + saverPath + "\"";
    if (!tail.empty()) commandLine += " " + tail;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    SaverProcess saver;
    if (!CreateProcessA(saverPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        suspended ? CREATE_SUSPENDED : 0, nullptr, nullptr, &startup, &info)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        return saver;
    }
    saver.process = info.hProcess;
    saver.thread = info.hThread;
    saver.id = info.dwProcessId;
    RememberProcess(saver.process);
    return saver;
}

void ResumeSaverProcess(const SaverProcess& saver) {
    if (saver.thread != nullptr) ResumeThread(saver.thread);
}

bool SaverProcessRunning(const SaverProcess& saver) {
    return saver.process != nullptr && WaitForSingleObject(saver.process, 0) == WAIT_TIMEOUT;
}

bool WaitForSaverExit(const SaverProcess& saver, DWORD timeoutMs, DWORD* exitCode) {
    if (saver.process == nullptr) return false;
    const bool ended = PumpUntil([&] { return !SaverProcessRunning(saver); }, timeoutMs, saver.process);
    if (ended) GetExitCodeProcess(saver.process, exitCode);
    return ended;
}

void EndSaverProcess(SaverProcess& saver) {
    if (saver.process != nullptr) {
        if (SaverProcessRunning(saver)) {
            TerminateProcess(saver.process, 1);
            WaitForSingleObject(saver.process, 10000);
        }
        CloseHandle(saver.process);
    }
    if (saver.thread != nullptr) CloseHandle(saver.thread);
    saver = SaverProcess{};
}

DWORD RunSaverToEnd(const std::string& tail, DWORD timeoutMs, const std::string& saverPath) {
    SaverProcess saver = StartSaverProcess(tail, saverPath);
    DWORD exitCode = timedOutExitCode;
    if (saver.process != nullptr && !WaitForSaverExit(saver, timeoutMs, &exitCode)) {
        ADD_FAILURE() << "corvantis.scr " << tail << " did not end";
    }
    EndSaverProcess(saver);
    return exitCode;
}
