#pragma once
// Change-password runs of a copy of corvantis.scr with the MPR.DLL double beside it.
#include <windows.h>

#include <string>
#include <vector>

struct ChangePasswordRun {
    DWORD exitCode;
    std::vector<std::string> mprLog;  // the double's log: "attach", "change ...", "detach ..."
};

// Runs the copy with the tail and CORVANTIS_MPR_LOG set. Wine takes its built-in MPR unless the
// load order of the process says native first; a WINEDLLOVERRIDES set with SetEnvironmentVariableA
// does not reach the child's loader, so the order is set for the duration of the run as the
// per-program setting HKCU\Software\Wine\AppDefaults\corvantis.scr\DllOverrides, mpr =
// "native,builtin", which Wine reads when the process starts.
ChangePasswordRun RunChangePasswordMode(const std::string& tail);

// The log line of the double's PwdChangePasswordA for the provider "SCRSAVE" and the parent window.
std::string ExpectedChangeLine(HWND parent);
