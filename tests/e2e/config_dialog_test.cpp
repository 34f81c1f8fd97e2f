// Configure mode: dialog 2003 opens (owned by the foreground window for "/c", without owner for an
// empty tail), OK writes the fields to the settings file and ends with 1, Cancel writes nothing and
// ends with 2.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/e2e/support/saver_process.h"
#include "tests/e2e/support/saver_windows.h"
#include "tests/e2e/support/test_window.h"

namespace {

constexpr int speedField = 1000;  // the dialog's speed field
constexpr char settingsFile[] = "CorvantisZireRE.ini";

// The settings file as the profile functions find it by bare name: in the Windows folder.
std::string SettingsPath() {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + settingsFile;
}

bool ReadWholeFile(const std::string& path, std::string* contents) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream text;
    text << file.rdbuf();
    *contents = text.str();
    return true;
}

int StoredSpeed() {
    return static_cast<int>(GetPrivateProfileIntA("Setting", "speed", -12345, settingsFile));
}

TEST(SaverConfigDialog, OpensOwnedAsTheTailSaysAndEndsWithTheButtonsCode) {
    std::string savedSettings;
    const bool hadSettings = ReadWholeFile(SettingsPath(), &savedSettings);
    WritePrivateProfileStringA("Setting", "speed", "3", settingsFile);

    HWND foreground = CreateTestWindow("foreground of the dialog test");
    ASSERT_NE(foreground, nullptr);
    struct Case {
        const char* tail;
        bool ownedByForeground;
        int button;
        const char* typedSpeed;
        DWORD exitCode;
        int storedSpeed;  // after the run
    };
    const Case cases[] = {
        {"/c", true, IDOK, "17", 1, 17},
        {"/c:1234", true, IDCANCEL, "23", 2, 17},
        {"", false, IDCANCEL, "29", 2, 17},
        {"/", false, IDOK, "31", 1, 31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("tail \"") + c.tail + "\"");
        SetForegroundWindow(foreground);
        ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == foreground; }, 5000));
        SaverProcess saver = StartSaverProcess(c.tail);
        ASSERT_NE(saver.process, nullptr);

        HWND dialog = nullptr;
        PumpUntil(
            [&] {
                dialog = FindTopLevelWindow(saver.id, configDialogCaption);
                return dialog != nullptr || !SaverProcessRunning(saver);
            },
            saverRunTimeoutMs, saver.process);
        ASSERT_NE(dialog, nullptr) << "the dialog did not appear";
        // The dialog has its caption before its controls; it is shown once they are made.
        PumpUntil([&] { return IsWindowVisible(dialog) != FALSE; }, saverRunTimeoutMs, saver.process);
        char className[64] = {};
        GetClassNameA(dialog, className, sizeof className);
        EXPECT_STREQ(className, "#32770");
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), c.ownedByForeground ? foreground : nullptr);

        // The dialog shows the stored setting; a new value is typed over it.
        HWND field = GetDlgItem(dialog, speedField);
        ASSERT_NE(field, nullptr);
        // WM_GETTEXT, not GetWindowTextA: for a window of another process that gives only the title.
        char shown[32] = {};
        SendMessageA(field, WM_GETTEXT, sizeof shown, reinterpret_cast<LPARAM>(shown));
        EXPECT_EQ(std::atoi(shown), StoredSpeed());
        SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.typedSpeed));
        PostMessageA(GetDlgItem(dialog, c.button), BM_CLICK, 0, 0);

        DWORD exitCode = timedOutExitCode;
        EXPECT_TRUE(WaitForSaverExit(saver, saverRunTimeoutMs, &exitCode));
        EndSaverProcess(saver);
        EXPECT_EQ(exitCode, c.exitCode);
        EXPECT_EQ(StoredSpeed(), c.storedSpeed);
    }
    DestroyWindow(foreground);

    if (hadSettings) {
        std::ofstream(SettingsPath(), std::ios::binary | std::ios::trunc) << savedSettings;
    } else {
        DeleteFileA(SettingsPath().c_str());
    }
}

}  // namespace
