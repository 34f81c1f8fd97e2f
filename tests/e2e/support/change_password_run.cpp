#include "tests/e2e/support/change_password_run.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/support/saver_process.h"
#include "tests/e2e/support/staged_saver.h"

namespace {

constexpr char overridesKey[] = "Software\\Wine\\AppDefaults\\corvantis.scr\\DllOverrides";

void SetMprNativeFirst(bool nativeFirst) {
    if (!nativeFirst) {
        RegDeleteKeyA(HKEY_CURRENT_USER, overridesKey);
        return;
    }
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, overridesKey, &key) != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot create " << overridesKey;
        return;
    }
    constexpr char order[] = "native,builtin";
    RegSetValueExA(key, "mpr", 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof order);
    RegCloseKey(key);
}

}  // namespace

ChangePasswordRun RunChangePasswordMode(const std::string& tail) {
    const StagedSaver staged = StageSaver("mpr");
    SetMprNativeFirst(true);
    SetEnvironmentVariableA("CORVANTIS_MPR_LOG", staged.logPath.c_str());
    ChangePasswordRun run;
    run.exitCode = RunSaverToEnd(tail, saverRunTimeoutMs, staged.saverPath);
    SetEnvironmentVariableA("CORVANTIS_MPR_LOG", nullptr);
    SetMprNativeFirst(false);
    run.mprLog = ReadLines(staged.logPath);
    RemoveStagedSaver(staged);
    return run;
}

std::string ExpectedChangeLine(HWND parent) {
    char line[64];
    std::snprintf(line, sizeof line, "change SCRSAVE %08lX 0 00000000",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(parent)));
    return line;
}
