#include "tests/e2e/support/fault_code.h"

namespace {

constexpr DWORD storeLength = 6;  // movl $1, (%eax)
DWORD seenCode = 0;

LONG CALLBACK StepOverStore(EXCEPTION_POINTERS* pointers) {
    seenCode = pointers->ExceptionRecord->ExceptionCode;
    pointers->ContextRecord->Eip += storeLength;
    return EXCEPTION_CONTINUE_EXECUTION;
}

DWORD MeasureNullStoreFaultCode() {
    seenCode = 0;
    PVOID handler = AddVectoredExceptionHandler(1, StepOverStore);
    asm volatile("xorl %%eax, %%eax\n\tmovl $1, (%%eax)" : : : "eax", "memory");
    RemoveVectoredExceptionHandler(handler);
    return seenCode;
}

}  // namespace

bool IsNullStoreFaultCode(DWORD code) {
    return code == EXCEPTION_ACCESS_VIOLATION || code == MeasureNullStoreFaultCode();
}
