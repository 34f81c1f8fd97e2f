#include "tests/e2e/support/saver_running_flag.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/support/saver_process.h"

bool SaverRunningFlag() {
    const std::string reader = ExecutableFolder() + "\\e2e_saver_running_flag.exe";
    std::string commandLine = "\"" + reader + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(reader.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        ADD_FAILURE() << "cannot start " << reader;
        return false;
    }
    DWORD exitCode = 2;
    EXPECT_EQ(WaitForSingleObject(info.hProcess, saverRunTimeoutMs), WAIT_OBJECT_0);
    GetExitCodeProcess(info.hProcess, &exitCode);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    EXPECT_LE(exitCode, 1u);
    return exitCode == 1;
}

void SetSaverRunningFlag(bool running) {
    UINT previous = 0;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, running ? TRUE : FALSE, &previous, 0);
}
