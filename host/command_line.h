#pragma once
#include <cstdint>

// Reading the command line: where the program's path ends, which mode the switch chooses, and the
// window handle that follows the preview and change-password switches.

// Steps to the next character of a text; never steps past the terminating NUL. The Windows build
// passes CharNextA, which steps over both bytes of a double-byte character.
using NextCharacterFunction = const char* (*)(const char*);

// Steps one byte (none at the NUL).
const char* NextByte(const char* text);

// The text after the program's path and the blanks (codes 1 to 32) that follow it. A path in
// double quotes may hold blanks and ends after its closing quote, even when text is glued to it;
// an unquoted path ends at its first blank; a line that begins with a blank has no path.
// Character codes are unsigned, so bytes 128 to 255 are never blanks.
const char* FindCommandLineTail(const char* commandLine, NextCharacterFunction nextCharacter = NextByte);

enum class SaverMode {
    ConfigureWithoutOwner,  // no switch letter at all
    ConfigureOwned,         // c, C: the dialog is owned by the foreground window
    FullScreen,             // s, S
    Preview,                // p, P, l, L
    ChangePassword,         // a, A
    Unknown,                // any other first significant character
};

struct ModeChoice {
    SaverMode mode;
    // Preview and ChangePassword: the text after the letter and the spaces that follow it, where
    // the window handle's digits are expected. Other modes: the first significant character.
    const char* rest;
};

// Chooses the mode from the first significant character of the tail: spaces, '-' and '/' are
// skipped in any number and order; only that one character is looked at (so "/scr" is FullScreen).
ModeChoice ChooseSaverMode(const char* tail);

// The decimal number at the start of the text, in unsigned 32-bit arithmetic that wraps modulo
// 2^32; no blanks, sign or hexadecimal form. 0 when the text starts with no digit.
uint32_t ParseWindowHandle(const char* text);
