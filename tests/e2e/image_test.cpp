// The built corvantis.scr as a file: a 32-bit GUI program whose import table names only system
// DLLs (the run-times are linked in; IMM32, PASSWORD.CPL and MPR.DLL are looked up at run time), and
// whose exception handlers the system will call.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/support/saver_process.h"

namespace {

struct Image {
    std::vector<char> bytes;
    const IMAGE_NT_HEADERS32* headers = nullptr;
};

// The file offset of a relative virtual address, or 0 when no section holds it.
size_t FileOffset(const Image& image, DWORD rva) {
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(image.headers);
    for (WORD i = 0; i < image.headers->FileHeader.NumberOfSections; ++i, ++section) {
        if (rva >= section->VirtualAddress && rva < section->VirtualAddress + section->Misc.VirtualSize) {
            return rva - section->VirtualAddress + section->PointerToRawData;
        }
    }
    return 0;
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

TEST(SaverImage, IsAGuiProgramImportingOnlySystemDlls) {
    Image image;
    std::ifstream file(BuiltSaverPath(), std::ios::binary);
    ASSERT_TRUE(file) << BuiltSaverPath();
    image.bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    ASSERT_GT(image.bytes.size(), sizeof(IMAGE_DOS_HEADER));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.bytes.data());
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    image.headers = reinterpret_cast<const IMAGE_NT_HEADERS32*>(image.bytes.data() + dos->e_lfanew);
    ASSERT_EQ(image.headers->Signature, IMAGE_NT_SIGNATURE);
    EXPECT_EQ(image.headers->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    const IMAGE_OPTIONAL_HEADER32& optional = image.headers->OptionalHeader;
    ASSERT_EQ(optional.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_EQ(optional.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

    std::set<std::string> imported;
    const DWORD importRva = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    ASSERT_NE(importRva, 0u);
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image.bytes.data() +
                                                                        FileOffset(image, importRva));
         entry->Name != 0; ++entry) {
        imported.insert(Upper(image.bytes.data() + FileOffset(image, entry->Name)));
    }
    const std::set<std::string> allowed = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL", "MSVCRT.DLL"};
    for (const std::string& name : imported) {
        EXPECT_TRUE(allowed.count(name) == 1) << "imports " << name;
    }
    EXPECT_TRUE(imported.count("KERNEL32.DLL") == 1 && imported.count("USER32.DLL") == 1);

    // The fault guard's frame handler lies in this image: the image must not declare that it has no
    // handlers, and must carry no safe-handler table (GNU ld writes none; a table would have to
    // list the handler).
    EXPECT_EQ(optional.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_NO_SEH, 0);
    const DWORD configRva = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG].VirtualAddress;
    if (configRva != 0) {
        const auto* config = reinterpret_cast<const IMAGE_LOAD_CONFIG_DIRECTORY32*>(image.bytes.data() +
                                                                                    FileOffset(image, configRva));
        const bool hasHandlerTable = config->Size > offsetof(IMAGE_LOAD_CONFIG_DIRECTORY32, SEHandlerTable) &&
                                     config->SEHandlerTable != 0;
        EXPECT_FALSE(hasHandlerTable);
    }
}

}  // namespace
