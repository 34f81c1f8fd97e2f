#include <gtest/gtest.h>

#include <string>

#include "host/command_line.h"

namespace {

std::string Shown(const char* text) {
    return testing::PrintToString(std::string(text));
}

TEST(CommandLine, TailAfterTheProgramPath) {
    const struct {
        const char* line;
        const char* tail;
    } cases[] = {
        {"C:\\WINDOWS\\corvantis.scr /s", "/s"},
        {"corvantis.scr", ""},
        {"corvantis.scr   \t /p 1234", "/p 1234"},
        {"\"C:\\Program Files\\Corvantis SS\\corvantis.scr\" /p 1234", "/p 1234"},
        {"\"C:\\Corvantis SS\\corvantis.scr\"/s", "/s"},  // glued to the closing quote
        {"\"C:\\corvantis.scr\"abc /s", "abc /s"},
        {"\"\" /c", "/c"},
        {"\"C:\\no closing quote /s", ""},
        {"C:\\Program Files\\corvantis.scr /s", "Files\\corvantis.scr /s"},  // unquoted path ends at a blank
        {" /s", "/s"},                                                     // no path at all
        {" \tcorvantis.scr /s", "corvantis.scr /s"},
        {"", ""},
        {"   ", ""},
        {"corvantis.scr\x01\x1f\x20/s", "/s"},     // every code from 1 to 32 is a blank
        {"corv\xe9.scr /s", "/s"},                 // bytes from 128 on are never blanks
        {"corvantis.scr \xa0/s", "\xa0/s"},
        {"\xff.scr /s", "/s"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(FindCommandLineTail(c.line), c.tail) << Shown(c.line);
    }
}

// A stand-in for a double-byte code page: 0x81 to 0x9F start a two-byte character.
const char* NextDoubleByteCharacter(const char* p) {
    const unsigned char code = static_cast<unsigned char>(*p);
    if (code == 0) {
        return p;
    }
    if (code >= 0x81 && code <= 0x9F && p[1] != '\0') {
        return p + 2;
    }
    return p + 1;
}

TEST(CommandLine, TailStepsWholeCharacters) {
    // The quote after 0x81 is the second byte of one character, so the path ends at the next quote.
    const char* line = "\"C:\\\x81\"x\" /s";
    EXPECT_STREQ(FindCommandLineTail(line, NextDoubleByteCharacter), "/s");
    EXPECT_STREQ(FindCommandLineTail(line), "x\" /s");
    EXPECT_STREQ(FindCommandLineTail("\x81", NextDoubleByteCharacter), "");
}

TEST(CommandLine, ModeAndRest) {
    const struct {
        const char* tail;
        SaverMode mode;
        const char* rest;
        uint32_t handle;  // ParseWindowHandle(rest), for the two modes that read a handle
    } cases[] = {
        {"", SaverMode::ConfigureWithoutOwner, "", 0},
        {"/", SaverMode::ConfigureWithoutOwner, "", 0},
        {" -/ -//  ", SaverMode::ConfigureWithoutOwner, "", 0},
        {"/s", SaverMode::FullScreen, "s", 0},
        {"-s", SaverMode::FullScreen, "s", 0},
        {"s", SaverMode::FullScreen, "s", 0},
        {"S", SaverMode::FullScreen, "S", 0},
        {"//s", SaverMode::FullScreen, "s", 0},
        {"- / s", SaverMode::FullScreen, "s", 0},
        {"/scr", SaverMode::FullScreen, "scr", 0},
        {"/c", SaverMode::ConfigureOwned, "c", 0},
        {"C", SaverMode::ConfigureOwned, "C", 0},
        {"/c:1234", SaverMode::ConfigureOwned, "c:1234", 0},
        {"/p 1234", SaverMode::Preview, "1234", 1234},
        {"/p1234", SaverMode::Preview, "1234", 1234},
        {"-p 1234", SaverMode::Preview, "1234", 1234},
        {"/l 1234", SaverMode::Preview, "1234", 1234},
        {"/P   1234", SaverMode::Preview, "1234", 1234},
        {"L5", SaverMode::Preview, "5", 5},
        {"/p 12ab", SaverMode::Preview, "12ab", 12},
        {"/p:1234", SaverMode::Preview, ":1234", 0},
        {"/p\t1234", SaverMode::Preview, "\t1234", 0},  // only spaces are skipped after the letter
        {"/p 0", SaverMode::Preview, "0", 0},
        {"p", SaverMode::Preview, "", 0},
        {"/p 4294967297", SaverMode::Preview, "4294967297", 1},
        {"/a", SaverMode::ChangePassword, "", 0},
        {"/a 5678", SaverMode::ChangePassword, "5678", 5678},
        {"A5678", SaverMode::ChangePassword, "5678", 5678},
        {"/x", SaverMode::Unknown, "x", 0},
        {"/\ts", SaverMode::Unknown, "\ts", 0},  // a tab is significant
        {"\ts", SaverMode::Unknown, "\ts", 0},
        {"1234", SaverMode::Unknown, "1234", 0},
        {"\x80", SaverMode::Unknown, "\x80", 0},
        {"/\xe1", SaverMode::Unknown, "\xe1", 0},
        {"\xff", SaverMode::Unknown, "\xff", 0},
    };
    for (const auto& c : cases) {
        const ModeChoice choice = ChooseSaverMode(c.tail);
        EXPECT_EQ(choice.mode, c.mode) << Shown(c.tail);
        EXPECT_STREQ(choice.rest, c.rest) << Shown(c.tail);
        if (c.mode == SaverMode::Preview || c.mode == SaverMode::ChangePassword) {
            EXPECT_EQ(ParseWindowHandle(choice.rest), c.handle) << Shown(c.tail);
        }
    }
}

TEST(CommandLine, WindowHandle) {
    const struct {
        const char* text;
        uint32_t handle;
    } cases[] = {
        {"1234", 1234}, {"12ab", 12}, {"007", 7}, {"4294967295", 4294967295u},
        {"4294967296", 0}, {"4294967297", 1}, {"", 0}, {"-5", 0}, {"+5", 0}, {" 5", 0}, {"0x10", 0},
        {"99999999999999999999", 1661992959},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseWindowHandle(c.text), c.handle) << Shown(c.text);
    }
}

}  // namespace
