// The resources of the built executable, read back as data: corvantis.scr beside this test when it
// has been built, else this test executable, which links the same resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace {

constexpr WORD russian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
static_assert(russian == 1049);

std::string ExecutableUnderTest() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of('\\') + 1);
    const std::string saver = folder + "corvantis.scr";
    return GetFileAttributesA(saver.c_str()) != INVALID_FILE_ATTRIBUTES ? saver : std::string(path);
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
    return TRUE;
}

class ResourcesTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        path = ExecutableUnderTest();
        module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        std::printf("reading the resources of %s\n", path.c_str());
    }
    static void TearDownTestSuite() {
        if (module != nullptr) {
            FreeLibrary(module);
        }
    }
    void SetUp() override {
        ASSERT_NE(module, nullptr) << path;
    }

    // The bytes of a resource in the given language, empty when there is none.
    static std::vector<uint8_t> Resource(LPCSTR type, LPCSTR name, WORD language) {
        const HRSRC found = FindResourceExA(module, type, name, language);
        if (found == nullptr) {
            return {};
        }
        const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
        return std::vector<uint8_t>(bytes, bytes + SizeofResource(module, found));
    }

    static std::vector<WORD> Languages(LPCSTR type, LPCSTR name) {
        std::vector<WORD> languages;
        EnumResourceLanguagesA(module, type, name, CollectLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
        return languages;
    }

    static inline std::string path;
    static inline HMODULE module = nullptr;
};

// Reads the little-endian fields of a resource one after the other.
struct Reader {
    const std::vector<uint8_t>& bytes;
    std::size_t at = 0;
    bool overrun = false;

    uint16_t Word() {
        if (at + 2 > bytes.size()) {
            overrun = true;
            return 0;
        }
        const uint16_t value = static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
        at += 2;
        return value;
    }
    uint32_t Dword() {
        const uint32_t low = Word();
        return low | static_cast<uint32_t>(Word()) << 16;
    }
    int16_t Short() { return static_cast<int16_t>(Word()); }
    std::u16string Text() {
        std::u16string text;
        for (uint16_t c = Word(); c != 0 && !overrun; c = Word()) {
            text += static_cast<char16_t>(c);
        }
        return text;
    }
    // A name or an ordinal: an ordinal is written as "#number".
    std::u16string TextOrOrdinal() {
        if (at + 2 <= bytes.size() && bytes[at] == 0xFF && bytes[at + 1] == 0xFF) {
            Word();
            std::u16string text = u"#";
            for (const char c : std::to_string(Word())) {
                text += static_cast<char16_t>(c);
            }
            return text;
        }
        return Text();
    }
    void AlignToDword() { at = (at + 3) & ~std::size_t{3}; }
};

TEST_F(ResourcesTest, ConfigurationDialogTemplateIsAsDesigned) {
    const std::vector<uint8_t> bytes =
        Resource(RT_DIALOG, MAKEINTRESOURCEA(IDD_CONFIGURE), russian);
    ASSERT_FALSE(bytes.empty());
    Reader reader{bytes};

    const uint32_t style = reader.Dword();
    ASSERT_NE(style >> 16, 0xFFFFu) << "an extended template";
    EXPECT_EQ(style, static_cast<uint32_t>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER |
                                           DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(reader.Dword(), 0u);  // extended style
    const uint16_t controlCount = reader.Word();
    EXPECT_EQ(controlCount, 12);
    EXPECT_EQ(reader.Short(), 0);
    EXPECT_EQ(reader.Short(), 0);
    EXPECT_EQ(reader.Short(), 186);
    EXPECT_EQ(reader.Short(), 95);
    EXPECT_EQ(reader.TextOrOrdinal(), u"");  // no menu
    EXPECT_EQ(reader.TextOrOrdinal(), u"");  // the platform's dialog class
    EXPECT_EQ(reader.Text(), u"Configure Corvantis Screen Saver");
    EXPECT_EQ(reader.Word(), 8);
    EXPECT_EQ(reader.Text(), u"MS Sans Serif");

    struct Control {
        uint16_t id;
        const char16_t* className;
        const char16_t* text;  // nullptr: the notice line, any one line of text
        uint32_t style;
        int16_t x, y, cx, cy;
    };
    constexpr uint32_t shown = WS_CHILD | WS_VISIBLE;
    constexpr uint32_t edit = shown | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    constexpr uint32_t label = shown | SS_LEFT | WS_GROUP;
    const Control expected[] = {
        {IDOK, u"#128", u"OK", shown | BS_DEFPUSHBUTTON | WS_TABSTOP, 123, 28, 50, 14},
        {IDCANCEL, u"#128", u"Cancel", shown | BS_PUSHBUTTON | WS_TABSTOP, 123, 46, 50, 14},
        {1000, u"#129", u"", edit, 34, 14, 31, 12},
        {1001, u"#130", u"Speed", label, 7, 16, 21, 9},
        {0xFFFF, u"#130", nullptr, shown | SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | WS_GROUP,
         7, 79, 172, 9},
        {1002, u"#130", u"X-offset", label, 7, 31, 24, 8},
        {1003, u"#129", u"", edit, 34, 29, 31, 12},
        {1004, u"#129", u"", edit, 34, 44, 31, 12},
        {1005, u"#130", u"Y-offset", label, 7, 45, 24, 9},
        {1006, u"#129", u"", edit, 34, 60, 31, 12},
        {1007, u"#130", u"Margin", label, 7, 60, 22, 9},
        {0xFFFF, u"#130", u"#100", shown | SS_ICON, 85, 34, 21, 20},
    };
    ASSERT_EQ(controlCount, std::size(expected));
    for (const Control& control : expected) {
        SCOPED_TRACE(testing::Message() << "control " << (&control - expected) + 1);
        reader.AlignToDword();
        EXPECT_EQ(reader.Dword(), control.style);
        EXPECT_EQ(reader.Dword(), 0u);  // extended style
        EXPECT_EQ(reader.Short(), control.x);
        EXPECT_EQ(reader.Short(), control.y);
        EXPECT_EQ(reader.Short(), control.cx);
        EXPECT_EQ(reader.Short(), control.cy);
        EXPECT_EQ(reader.Word(), control.id);
        EXPECT_EQ(reader.TextOrOrdinal(), control.className);
        const std::u16string text = reader.TextOrOrdinal();
        if (control.text != nullptr) {
            EXPECT_EQ(text, control.text);
        } else {
            EXPECT_FALSE(text.empty());
            EXPECT_EQ(text.find_first_of(u"\r\n&"), std::u16string::npos);
        }
        const uint16_t creationData = reader.Word();
        EXPECT_EQ(creationData, 0);
        reader.at += creationData;
    }
    EXPECT_FALSE(reader.overrun);
    EXPECT_EQ(reader.at, bytes.size());
}

TEST_F(ResourcesTest, DescriptionStringIsEntryOne) {
    // Strings 0 to 15 share block 1: sixteen counted UTF-16 texts.
    const std::vector<uint8_t> bytes = Resource(RT_STRING, MAKEINTRESOURCEA(1), russian);
    ASSERT_FALSE(bytes.empty());
    Reader reader{bytes};
    for (int entry = 0; entry < 16; ++entry) {
        const uint16_t length = reader.Word();
        std::u16string text;
        for (uint16_t i = 0; i < length; ++i) {
            text += static_cast<char16_t>(reader.Word());
        }
        EXPECT_EQ(text, entry == IDS_SAVER_DESCRIPTION ? u"Va ZevIrovo" : u"") << entry;
    }
    EXPECT_FALSE(reader.overrun);

    // The way the shell reads it.
    char text[64] = {};
    EXPECT_EQ(LoadStringA(module, IDS_SAVER_DESCRIPTION, text, sizeof text), 11);
    EXPECT_STREQ(text, "Va ZevIrovo");
}

TEST_F(ResourcesTest, IconGroupHoldsA32And16PixelImageOf16Colours) {
    const std::vector<uint8_t> group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_SAVER), russian);
    ASSERT_FALSE(group.empty());
    Reader reader{group};
    EXPECT_EQ(reader.Word(), 0);  // reserved
    EXPECT_EQ(reader.Word(), 1);  // icons, not cursors
    ASSERT_EQ(reader.Word(), 2);
    const int sizes[] = {32, 16};
    for (const int size : sizes) {
        SCOPED_TRACE(size);
        EXPECT_EQ(group[reader.at], size);      // width
        EXPECT_EQ(group[reader.at + 1], size);  // height
        EXPECT_EQ(group[reader.at + 2], 16);    // colours
        reader.at += 4;
        EXPECT_EQ(reader.Word(), 1);  // planes
        EXPECT_EQ(reader.Word(), 4);  // bits per pixel
        const uint32_t byteCount = reader.Dword();
        const uint16_t imageId = reader.Word();

        EXPECT_EQ(Languages(RT_ICON, MAKEINTRESOURCEA(imageId)), std::vector<WORD>{russian});
        std::vector<uint8_t> image = Resource(RT_ICON, MAKEINTRESOURCEA(imageId), russian);
        ASSERT_EQ(image.size(), byteCount);
        BITMAPINFOHEADER header;
        ASSERT_GE(image.size(), sizeof header + 16 * sizeof(RGBQUAD));
        std::memcpy(&header, image.data(), sizeof header);
        EXPECT_EQ(header.biSize, sizeof header);
        EXPECT_EQ(header.biWidth, size);
        EXPECT_EQ(header.biHeight, 2 * size);  // colour bits and mask
        EXPECT_EQ(header.biPlanes, 1);
        EXPECT_EQ(header.biBitCount, 4);
        const std::size_t colourStride = (size * 4 + 31) / 32 * 4;
        const std::size_t maskStride = (size + 31) / 32 * 4;
        ASSERT_EQ(image.size(), sizeof header + 16 * sizeof(RGBQUAD) + size * (colourStride + maskStride));

        // A ribbon running from pure green to pure red on black.
        RGBQUAD palette[16];
        std::memcpy(palette, image.data() + sizeof header, sizeof palette);
        const uint8_t* colours = image.data() + sizeof header + sizeof palette;
        const uint8_t* mask = colours + size * colourStride;
        int black = 0, green = 0, red = 0, opaque = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                if (mask[y * maskStride + x / 8] & (0x80 >> (x % 8))) {
                    continue;
                }
                ++opaque;
                const uint8_t pair = colours[y * colourStride + x / 2];
                const RGBQUAD c = palette[x % 2 == 0 ? pair >> 4 : pair & 15];
                black += c.rgbRed == 0 && c.rgbGreen == 0 && c.rgbBlue == 0;
                green += c.rgbRed == 0 && c.rgbGreen == 255 && c.rgbBlue == 0;
                red += c.rgbRed == 255 && c.rgbGreen == 0 && c.rgbBlue == 0;
            }
        }
        EXPECT_GT(opaque, size * size * 3 / 4);
        EXPECT_GT(black, opaque / 2);
        EXPECT_GT(green, 0);
        EXPECT_GT(red, 0);

        const HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()),
                                                    TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
        EXPECT_NE(icon, nullptr);
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
    EXPECT_FALSE(reader.overrun);
}

TEST_F(ResourcesTest, RequiredResourcesAreRussianOnly) {
    struct Required {
        const char* name;
        LPCSTR type;
        LPCSTR id;
    };
    const Required required[] = {
        {"dialog 2003", RT_DIALOG, MAKEINTRESOURCEA(IDD_CONFIGURE)},
        {"icon group 100", RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_SAVER)},
        {"string block of string 1", RT_STRING, MAKEINTRESOURCEA(IDS_SAVER_DESCRIPTION / 16 + 1)},
    };
    for (const Required& r : required) {
        EXPECT_EQ(Languages(r.type, r.id), std::vector<WORD>{russian}) << r.name;
    }
}

TEST_F(ResourcesTest, VersionInformationNamesTheProduct) {
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
    ASSERT_NE(found, nullptr);
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    const std::vector<uint8_t> bytes(data, data + SizeofResource(module, found));
    Reader reader{bytes};
    reader.Word();  // length
    EXPECT_EQ(reader.Word(), sizeof(VS_FIXEDFILEINFO));
    reader.Word();  // type
    EXPECT_EQ(reader.Text(), u"VS_VERSION_INFO");
    reader.AlignToDword();
    VS_FIXEDFILEINFO fixed;
    ASSERT_LE(reader.at + sizeof fixed, bytes.size());
    std::memcpy(&fixed, bytes.data() + reader.at, sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0u);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0u);

    const auto holds = [&](const std::u16string& text) {
        const auto* first = reinterpret_cast<const uint8_t*>(text.data());
        return std::search(bytes.begin(), bytes.end(), first, first + 2 * text.size()) != bytes.end();
    };
    EXPECT_TRUE(holds(std::u16string(u"ProductName") + u'\0' + u'\0' + u"Corvantis Screen Saver") ||
                holds(std::u16string(u"ProductName") + u'\0' + u"Corvantis Screen Saver"));
    EXPECT_TRUE(holds(u"FileDescription"));
    EXPECT_TRUE(holds(u"1.0.0.0"));
}

TEST_F(ResourcesTest, ManifestDeclaresDpiAwarenessAndSupportedSystems) {
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    const std::string manifest(data, SizeofResource(module, found));
    EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);  // 10

    // This test executable carries the same manifest, and the loader has applied it.
    EXPECT_TRUE(IsProcessDPIAware());
}

}  // namespace
