#pragma once
// Helpers of the password-lock tests: the registry switch, the screen-saver-running flag, the
// password-service doubles under bin/doubles/<variant>/ and the log files they write.
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace password_lock_support {

// The folder of the running test executable.
inline std::string ExecutableFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

// The folder of one variant of the doubles: "verify", "noentry", "mpr", "mpr-noentry".
inline std::string DoublesFolder(const char* variant) {
    return ExecutableFolder() + "\\doubles\\" + variant;
}

// A fresh, not yet existing file in the temporary folder, for a double's log.
inline std::string FreshLogPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "corvantis-" + std::to_string(GetCurrentProcessId()) + "-" + name + ".log";
    DeleteFileA(path.c_str());
    return path;
}

inline std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Lines of the log that start with the given word.
inline std::vector<std::string> LinesStartingWith(const std::string& path, const std::string& word) {
    std::vector<std::string> found;
    for (const std::string& line : ReadLines(path)) {
        if (line.compare(0, word.size() + 1, word + " ") == 0 || line == word) {
            found.push_back(line);
        }
    }
    return found;
}

constexpr const char* desktopKey = "Control Panel\\Desktop";
constexpr const char* usePasswordValue = "ScreenSaveUsePassword";

// Stores the password switch with the given registry type and bytes.
inline bool WriteUsePassword(DWORD type, const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, desktopKey, &key) != ERROR_SUCCESS) {
        return false;
    }
    const LONG status = RegSetValueExA(key, usePasswordValue, 0, type, data.empty() ? nullptr : data.data(),
                                       static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

inline void DeleteUsePassword() {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, desktopKey, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, usePasswordValue);
        RegCloseKey(key);
    }
}

// The screen-saver-running flag as the system reports it; it is shared by the whole Wine prefix.
inline UINT SaverRunningFlag() {
    UINT running = 0xDEADu;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running;
}

inline void SetSaverRunningFlag(UINT running) {
    UINT previous = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running, &previous, 0);
}

// Runs this test executable again with only the given tests and waits for it (at most two
// minutes). The child inherits the current environment, so set its controls before. Returns the
// child's exit code, or a value above 0xFFFF0000 when it could not be started or did not end.
inline DWORD RunSelfAsChild(const std::string& testFilter) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string commandLine = std::string("\"") + path + "\" --gtest_brief=1 --gtest_filter=" + testFilter;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return 0xFFFFFFFFu;
    }
    DWORD exitCode = 0xFFFFFFFEu;
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    } else {
        TerminateProcess(process.hProcess, 0xFFFFFFFDu);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

inline std::string EnvText(const char* name) {
    char text[1024] = {};
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    return length > 0 && length < sizeof text ? std::string(text) : std::string();
}

inline std::string HexHandle(const void* handle) {
    char text[16];
    wsprintfA(text, "%08lX", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(handle)));
    return text;
}

}  // namespace password_lock_support
