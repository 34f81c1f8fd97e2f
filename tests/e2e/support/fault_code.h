#pragma once
#include <windows.h>

// The exception code this platform gives a store through a null pointer: EXCEPTION_ACCESS_VIOLATION
// on x86 hardware. Where Wine itself runs under a user-mode CPU emulator, the signal lacks the
// page-fault trap number and Wine reports EXCEPTION_ILLEGAL_INSTRUCTION instead. Measured by doing
// such a store in this process under a vectored handler that steps over it.
DWORD NullStoreFaultCode();
