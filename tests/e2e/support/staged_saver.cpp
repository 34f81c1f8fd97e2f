#include "tests/e2e/support/staged_saver.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/e2e/support/saver_process.h"

namespace {

void CopyFolderFiles(const std::string& from, const std::string& to) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "no files in " << from;
        return;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        const std::string name = found.cFileName;
        EXPECT_TRUE(CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE)) << name;
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

StagedSaver StageSaver(const char* doubleVariant) {
    static unsigned counter = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    StagedSaver staged;
    staged.folder = std::string(temp) + "corvantis-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(++counter);
    CreateDirectoryA(staged.folder.c_str(), nullptr);
    staged.saverPath = staged.folder + "\\corvantis.scr";
    staged.logPath = staged.folder + "\\double.log";
    EXPECT_TRUE(CopyFileA(BuiltSaverPath().c_str(), staged.saverPath.c_str(), FALSE));
    CopyFolderFiles(ExecutableFolder() + "\\doubles\\" + doubleVariant, staged.folder);
    return staged;
}

void RemoveStagedSaver(const StagedSaver& staged) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((staged.folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                DeleteFileA((staged.folder + "\\" + found.cFileName).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(staged.folder.c_str());
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}
