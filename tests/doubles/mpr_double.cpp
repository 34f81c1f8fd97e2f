// A stand-in for MPR.DLL's password service. Built twice: with PwdChangePasswordA (doubles/mpr/)
// and without it (doubles/mpr-noentry/). Both record their load and unload, and the entry point each
// call, in the file named by CORVANTIS_MPR_LOG:
//   "change <provider> <parent window, hex> <flags> <info pointer, hex>".
#include <windows.h>

#include <cstdio>

#include "tests/doubles/double_log.h"

namespace {
constexpr const char* logVariable = "CORVANTIS_MPR_LOG";
}

#ifdef CORVANTIS_MPR_ENTRY
extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD flags,
                                                                  LPVOID info) {
    char line[300];
    std::snprintf(line, sizeof line, "change %s %08lX %lu %08lX", provider != nullptr ? provider : "(null)",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(parent)), static_cast<unsigned long>(flags),
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(info)));
    AppendLogLine(logVariable, line);
    return 0;
}
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    LogAttachment(logVariable, reason, reserved);
    return TRUE;
}
