#pragma once
// Direct access to the settings file in the prefix's Windows directory, past the profile functions,
// for tests that prepare its bytes or look at what was written.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

inline constexpr char settingsFileName[] = "CorvantisZireRE.ini";

inline std::string SettingsFilePath() {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + settingsFileName;
}

// Drops the profile functions' cached copy, so that the next read sees the file as it is now.
inline void ForgetCachedSettingsFile() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, settingsFileName);
}

inline void RemoveSettingsFile() {
    DeleteFileA(SettingsFilePath().c_str());
    ForgetCachedSettingsFile();
}

inline bool WriteSettingsFile(const std::string& bytes) {
    const HANDLE file = CreateFileA(SettingsFilePath().c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ForgetCachedSettingsFile();
    return ok && written == bytes.size();
}

// The file's bytes, or nothing when there is no file.
inline std::optional<std::string> ReadSettingsFile() {
    const HANDLE file = CreateFileA(SettingsFilePath().c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        bytes.append(chunk, got);
    }
    CloseHandle(file);
    return bytes;
}

// The file's non-empty lines, line ends removed.
inline std::vector<std::string> SettingsFileLines() {
    std::vector<std::string> lines;
    const std::string bytes = ReadSettingsFile().value_or("");
    std::string line;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (!line.empty()) {
                lines.push_back(line);
            }
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}
