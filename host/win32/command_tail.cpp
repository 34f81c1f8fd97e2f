#include "host/win32/command_tail.h"

#include <windows.h>

#include "host/command_line.h"

namespace {

// CharNextA steps over both bytes of a double-byte character of the system's code page.
const char* NextCharacter(const char* text) {
    return CharNextA(text);
}

}  // namespace

const char* CommandLineTail() {
    return FindCommandLineTail(GetCommandLineA(), NextCharacter);
}
