#include "tests/doubles/double_log.h"

#include <cstdlib>
#include <cstring>

long long EnvNumber(const char* name, long long fallback) {
    char text[64];
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    if (length == 0 || length >= sizeof text) {
        return fallback;
    }
    return std::strtoll(text, nullptr, 0);
}

void AppendLogLine(const char* logVariable, const char* line) {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(logVariable, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return;
    }
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
}

void LogAttachment(const char* logVariable, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        AppendLogLine(logVariable, "attach");
    } else if (reason == DLL_PROCESS_DETACH) {
        AppendLogLine(logVariable, reserved == nullptr ? "detach free" : "detach exit");
    }
}
