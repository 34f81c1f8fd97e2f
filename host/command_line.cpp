#include "host/command_line.h"

namespace {

unsigned char Code(const char* p) {
    return static_cast<unsigned char>(*p);
}

}  // namespace

const char* NextByte(const char* text) {
    return *text == '\0' ? text : text + 1;
}

const char* FindCommandLineTail(const char* commandLine, NextCharacterFunction nextCharacter) {
    const char* p = commandLine;
    if (*p == '"') {
        do {
            p = nextCharacter(p);
        } while (*p != '\0' && *p != '"');
        if (*p == '"') {
            ++p;
        }
    } else if (Code(p) > 32) {
        do {
            p = nextCharacter(p);
        } while (Code(p) > 32);
    }
    while (Code(p) >= 1 && Code(p) <= 32) {
        p = nextCharacter(p);
    }
    return p;
}

ModeChoice ChooseSaverMode(const char* tail) {
    const char* p = tail;
    while (*p == ' ' || *p == '-' || *p == '/') {
        ++p;
    }
    switch (*p) {
    case '\0':
        return {SaverMode::ConfigureWithoutOwner, p};
    case 'c':
    case 'C':
        return {SaverMode::ConfigureOwned, p};
    case 's':
    case 'S':
        return {SaverMode::FullScreen, p};
    case 'p':
    case 'P':
    case 'l':
    case 'L':
    case 'a':
    case 'A': {
        const SaverMode mode = (*p == 'a' || *p == 'A') ? SaverMode::ChangePassword : SaverMode::Preview;
        const char* rest = p + 1;
        while (*rest == ' ') {
            ++rest;
        }
        return {mode, rest};
    }
    default:
        return {SaverMode::Unknown, p};
    }
}

uint32_t ParseWindowHandle(const char* text) {
    uint32_t value = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10u + static_cast<uint32_t>(*p - '0');
    }
    return value;
}
