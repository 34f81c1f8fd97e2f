// The configuration dialog run for real: DialogBoxParamA on template 2003 of this executable's own
// resources, driven from a thread timer inside the dialog's modal loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "settings/win32/config_dialog.h"
#include "support/settings_file_access.h"

namespace {

constexpr std::array<int, 4> fieldIds = {IDC_SPEED_EDIT, IDC_XOFFSET_EDIT, IDC_YOFFSET_EDIT,
                                         IDC_MARGIN_EDIT};
// Results the driver forces when the dialog misbehaves, so that a fault fails instead of hanging.
constexpr INT_PTR neverShown = 901;
constexpr INT_PTR stayedOpen = 902;
constexpr DWORD patienceMs = 10000;

struct DialogOutcome {
    INT_PTR result = 0;
    std::array<std::string, 4> shown;  // the four fields as the dialog came up
};

// What the timer procedure works on during one run.
struct Driver {
    const std::function<void(HWND)>* act = nullptr;
    DialogOutcome* outcome = nullptr;
    bool acted = false;
    DWORD startTick = 0;
    DWORD actTick = 0;
};
Driver driver;

std::string FieldText(HWND dialog, int id) {
    char text[64] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) {
        return;
    }
    const DWORD now = GetTickCount();
    if (!driver.acted) {
        if (IsWindowVisible(dialog)) {
            driver.acted = true;
            driver.actTick = now;
            for (std::size_t i = 0; i < fieldIds.size(); ++i) {
                driver.outcome->shown[i] = FieldText(dialog, fieldIds[i]);
            }
            (*driver.act)(dialog);
        } else if (now - driver.startTick > patienceMs) {
            EndDialog(dialog, neverShown);
        }
    } else if (now - driver.actTick > patienceMs) {
        EndDialog(dialog, stayedOpen);
    }
}

// Opens the dialog as configure mode does and runs act once the dialog is on the screen.
DialogOutcome RunDialog(const std::function<void(HWND)>& act) {
    DialogOutcome outcome;
    driver = Driver{&act, &outcome, false, GetTickCount(), 0};
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, DriveDialog);
    EXPECT_EQ(PrepareConfigDialog(GetModuleHandleA(nullptr)), 1);
    outcome.result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(configDialogId),
                                     nullptr, ConfigDialogProc, 0);
    KillTimer(nullptr, timer);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    return outcome;
}

void Click(HWND dialog, int button) {
    SendMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
}

enum class KeyDelivery { posted, typed };

// A key pressed while the given field has the focus: posted to it as the keyboard would deliver
// it, or typed through SendInput.
void PressKeyInField(HWND dialog, int field, WORD key, KeyDelivery delivery) {
    const HWND edit = GetDlgItem(dialog, field);
    SetForegroundWindow(dialog);
    SetFocus(edit);
    if (delivery == KeyDelivery::posted) {
        PostMessageA(edit, WM_KEYDOWN, key, 1);
        return;
    }
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = key;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

class ConfigDialogTest : public testing::Test {
protected:
    void SetUp() override { RemoveSettingsFile(); }
    void TearDown() override { RemoveSettingsFile(); }
};

TEST_F(ConfigDialogTest, ShowsTheStoredValuesAndOkWritesTheFields) {
    struct Case {
        const char* name;
        std::optional<std::string> file;
        std::array<std::string, 4> shown;
        std::array<const char*, 4> typed;  // nullptr leaves the field as it is
        std::vector<std::string> saved;
    };
    const Case cases[] = {
        {"no file: the defaults", std::nullopt, {"4", "50", "150", "250"}, {},
         {"[Setting]", "speed=4", "X-offset=50", "Y-offset=150", "len=250"}},
        {"negative and fractional values", "[Setting]\r\nspeed=-20\r\nX-offset=0\r\n"
         "Y-offset=9999\r\nlen=12.5\r\n", {"4294967276", "0", "9999", "12"}, {},
         {"[Setting]", "speed=-20", "X-offset=0", "Y-offset=9999", "len=12"}},
        {"typed values beyond 31 bits", std::nullopt, {"4", "50", "150", "250"},
         {"", "3000000000", "123456", "4294967295"},
         {"[Setting]", "speed=0", "X-offset=-1294967296", "Y-offset=123456", "len=-1"}},
        {"untranslatable text saves 0", "[Setting]\r\nspeed=1\r\nX-offset=2\r\nY-offset=3\r\n"
         "len=4\r\n", {"1", "2", "3", "4"}, {"abc", "", "0", "2147483648"},
         {"[Setting]", "speed=0", "X-offset=0", "Y-offset=0", "len=-2147483648"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveSettingsFile();
        if (c.file) {
            ASSERT_TRUE(WriteSettingsFile(*c.file));
        }
        const DialogOutcome outcome = RunDialog([&](HWND dialog) {
            for (std::size_t i = 0; i < fieldIds.size(); ++i) {
                if (c.typed[i] != nullptr) {
                    SetDlgItemTextA(dialog, fieldIds[i], c.typed[i]);
                }
            }
            Click(dialog, IDOK);
        });
        EXPECT_EQ(outcome.result, 1);
        EXPECT_EQ(outcome.shown, c.shown);
        EXPECT_EQ(SettingsFileLines(), c.saved);
    }
}

TEST_F(ConfigDialogTest, MarginFieldShowsTheLow32BitsOfTheWholeNumberPart) {
    struct Case {
        const char* len;
        const char* shown;
    };
    const Case cases[] = {
        {"-0.5", "0"},                // truncated toward zero
        {"-2.9", "4294967294"},       // -2
        {"4e9", "4000000000"},        // beyond int32, within uint32
        {"1e10", "1410065408"},       // 10000000000 mod 2^32
        {"-1e9", "3294967296"},
        {"-9e9", "3884902400"},       // the float -8999999488
        {"9e18", "0"},                // below 2^63, a multiple of 2^32
        {"1e19", "0"},                // beyond the 64-bit range
        {"9e99", "0"},                // infinity
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.len);
        ASSERT_TRUE(WriteSettingsFile(std::string("[Setting]\r\nlen=") + c.len + "\r\n"));
        const DialogOutcome outcome = RunDialog([](HWND dialog) { Click(dialog, IDCANCEL); });
        EXPECT_EQ(outcome.result, 2);
        EXPECT_EQ(outcome.shown[3], c.shown);
    }
}

TEST_F(ConfigDialogTest, ClosingWithoutOkLeavesTheFileAsItWas) {
    struct Closer {
        const char* name;
        std::function<void(HWND)> close;
    };
    const Closer closers[] = {
        {"Cancel", [](HWND dialog) { Click(dialog, IDCANCEL); }},
        {"Escape posted to an edit field",
         [](HWND dialog) { PressKeyInField(dialog, IDC_XOFFSET_EDIT, VK_ESCAPE, KeyDelivery::posted); }},
        {"Escape typed",
         [](HWND dialog) { PressKeyInField(dialog, IDC_SPEED_EDIT, VK_ESCAPE, KeyDelivery::typed); }},
        {"close box", [](HWND dialog) { SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    // Odd but valid content that a rewrite would not reproduce byte for byte.
    const std::optional<std::string> files[] = {
        std::nullopt,
        std::string("; kept\r\n[Setting]\r\nlen = 7.5\r\nspeed=-20\r\n\r\n[Other]\r\nx=1\r\n"),
    };
    for (const Closer& closer : closers) {
        for (const std::optional<std::string>& file : files) {
            SCOPED_TRACE(std::string(closer.name) + (file ? ", with a file" : ", no file"));
            RemoveSettingsFile();
            if (file) {
                ASSERT_TRUE(WriteSettingsFile(*file));
            }
            const DialogOutcome outcome = RunDialog([&](HWND dialog) {
                for (const int field : fieldIds) {
                    SetDlgItemTextA(dialog, field, "777");
                }
                closer.close(dialog);
            });
            EXPECT_EQ(outcome.result, 2);
            EXPECT_EQ(ReadSettingsFile(), file);
        }
    }
}

TEST_F(ConfigDialogTest, EnterInAnEditFieldSavesLikeOk) {
    for (const KeyDelivery delivery : {KeyDelivery::posted, KeyDelivery::typed}) {
        SCOPED_TRACE(delivery == KeyDelivery::posted ? "posted" : "typed");
        RemoveSettingsFile();
        const DialogOutcome outcome = RunDialog([&](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_SPEED_EDIT, "61");
            PressKeyInField(dialog, IDC_YOFFSET_EDIT, VK_RETURN, delivery);
        });
        EXPECT_EQ(outcome.result, 1);
        const std::vector<std::string> expected = {"[Setting]", "speed=61", "X-offset=50",
                                                   "Y-offset=150", "len=250"};
        EXPECT_EQ(SettingsFileLines(), expected);
    }
}

TEST_F(ConfigDialogTest, ProcedureLooksOnlyAtTheCommandIdentifier) {
    struct Case {
        const char* name;
        WPARAM command;
        INT_PTR result;
        bool saves;
    };
    const Case cases[] = {
        {"OK with a notification code", MAKEWPARAM(IDOK, 0x4321), 1, true},
        {"Cancel with a notification code", MAKEWPARAM(IDCANCEL, EN_CHANGE), 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveSettingsFile();
        const DialogOutcome outcome = RunDialog([&](HWND dialog) {
            // Other commands and messages are left alone, and the fields keep what was typed.
            SetDlgItemTextA(dialog, IDC_SPEED_EDIT, "9");
            EXPECT_EQ(ConfigDialogProc(dialog, WM_COMMAND, MAKEWPARAM(IDC_SPEED_EDIT, EN_CHANGE), 0),
                      FALSE);
            EXPECT_EQ(ConfigDialogProc(dialog, WM_COMMAND, MAKEWPARAM(IDC_SPEED_LABEL, IDOK), 0),
                      FALSE);
            EXPECT_EQ(ConfigDialogProc(dialog, WM_COMMAND, 0x12345678, 0), FALSE);
            EXPECT_EQ(ConfigDialogProc(dialog, WM_TIMER, IDOK, 0), FALSE);
            EXPECT_EQ(ConfigDialogProc(dialog, WM_CLOSE, 0, 0), FALSE);
            EXPECT_EQ(FieldText(dialog, IDC_SPEED_EDIT), "9");
            EXPECT_TRUE(IsWindow(dialog));
            SendMessageA(dialog, WM_COMMAND, c.command, 0);
        });
        EXPECT_EQ(outcome.result, c.result);
        if (c.saves) {
            const std::vector<std::string> expected = {"[Setting]", "speed=9", "X-offset=50",
                                                       "Y-offset=150", "len=250"};
            EXPECT_EQ(SettingsFileLines(), expected);
        } else {
            EXPECT_FALSE(ReadSettingsFile().has_value());
        }
    }
}

TEST_F(ConfigDialogTest, InitDialogRefillsTheFieldsAndLeavesTheFocusAlone) {
    const DialogOutcome outcome = RunDialog([](HWND dialog) {
        ASSERT_TRUE(WriteSettingsFile("[Setting]\r\nspeed=5\r\nX-offset=6\r\nY-offset=7\r\nlen=8\r\n"));
        const HWND cancel = GetDlgItem(dialog, IDCANCEL);
        SetFocus(cancel);
        EXPECT_EQ(ConfigDialogProc(dialog, WM_INITDIALOG, 0, 0), FALSE);
        EXPECT_EQ(GetFocus(), cancel);
        for (const int field : fieldIds) {
            EXPECT_EQ(FieldText(dialog, field), std::to_string(field == IDC_SPEED_EDIT    ? 5
                                                               : field == IDC_XOFFSET_EDIT ? 6
                                                               : field == IDC_YOFFSET_EDIT ? 7
                                                                                           : 8));
        }
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(outcome.result, 2);
}

TEST_F(ConfigDialogTest, ShowsTheIconAndAOneLineNotice) {
    const DialogOutcome outcome = RunDialog([](HWND dialog) {
        HWND notice = nullptr;
        HWND icon = nullptr;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const LONG style = GetWindowLongA(child, GWL_STYLE);
            if (GetDlgCtrlID(child) != 0xFFFF && GetDlgCtrlID(child) != -1) {
                continue;
            }
            if ((style & SS_TYPEMASK) == SS_ICON) {
                icon = child;
            } else {
                notice = child;
            }
        }
        ASSERT_NE(icon, nullptr);
        ASSERT_NE(notice, nullptr);
        EXPECT_NE(SendMessageA(icon, STM_GETICON, 0, 0), 0);

        char text[256] = {};
        const int length = GetWindowTextA(notice, text, sizeof text);
        ASSERT_GT(length, 0);
        const HDC dc = GetDC(notice);
        const HGDIOBJ oldFont =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(notice, WM_GETFONT, 0, 0)));
        SIZE extent = {};
        GetTextExtentPoint32A(dc, text, length, &extent);
        SelectObject(dc, oldFont);
        ReleaseDC(notice, dc);
        RECT client = {};
        GetClientRect(notice, &client);
        EXPECT_LE(extent.cx, client.right) << text;
        EXPECT_LE(extent.cy, client.bottom) << text;
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(outcome.result, 2);
}

}  // namespace
