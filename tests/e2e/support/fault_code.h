#pragma once
#include <windows.h>

// Whether code is what this platform reports for a store through a null pointer:
// EXCEPTION_ACCESS_VIOLATION. Where Wine itself runs under a user-mode CPU emulator, the signal may
// lack the page-fault trap number and Wine then reports EXCEPTION_ILLEGAL_INSTRUCTION; that code is
// accepted only when a store through null in this process is reported the same way (measured under
// a vectored handler that steps over the store).
bool IsNullStoreFaultCode(DWORD code);
