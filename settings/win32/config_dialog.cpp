#include "settings/win32/config_dialog.h"

#include <cstdint>

#include "resources/resource_ids.h"
#include "settings/saver_settings.h"
#include "settings/win32/settings_file.h"

static_assert(configDialogId == IDD_CONFIGURE);

namespace {

// The whole-number part of the margin, truncated toward zero, as the low 32 bits of a 64-bit
// integer. A float at or beyond 2^63 in magnitude is a multiple of 2^40, so the low 32 bits of its
// whole-number part are 0; such values, infinities and NaN are answered without a conversion that
// would be out of range.
uint32_t MarginFieldValue(float margin) {
    constexpr float twoPower63 = 9223372036854775808.0f;
    if (!(margin > -twoPower63 && margin < twoPower63)) {
        return 0;
    }
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(margin)));
}

void FillFields(HWND dialog) {
    LoadSaverSettings();
    SetDlgItemInt(dialog, IDC_SPEED_EDIT, static_cast<UINT>(saverSettings.speed), FALSE);
    SetDlgItemInt(dialog, IDC_XOFFSET_EDIT, static_cast<UINT>(saverSettings.xOffset), FALSE);
    SetDlgItemInt(dialog, IDC_YOFFSET_EDIT, static_cast<UINT>(saverSettings.yOffset), FALSE);
    SetDlgItemInt(dialog, IDC_MARGIN_EDIT, MarginFieldValue(saverSettings.margin), FALSE);
}

// The field's text as an unsigned 32-bit number (0 when it is not one), taken as signed.
int32_t FieldValue(HWND dialog, int field) {
    return static_cast<int32_t>(GetDlgItemInt(dialog, field, nullptr, FALSE));
}

void SaveFields(HWND dialog) {
    const int32_t speed = FieldValue(dialog, IDC_SPEED_EDIT);
    const int32_t xOffset = FieldValue(dialog, IDC_XOFFSET_EDIT);
    const int32_t yOffset = FieldValue(dialog, IDC_YOFFSET_EDIT);
    const int32_t margin = FieldValue(dialog, IDC_MARGIN_EDIT);
    SaveSaverSettings(speed, xOffset, yOffset, margin);
}

}  // namespace

int PrepareConfigDialog(HINSTANCE) {
    return 1;
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        FillFields(dialog);
        // The focus is left to the dialog manager.
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            SaveFields(dialog);
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 2);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}
