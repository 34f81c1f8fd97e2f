#pragma once
// A copy of corvantis.scr in a fresh folder of its own, with a password-service double beside it
// (LoadLibraryA finds PASSWORD.CPL there, and MPR.DLL when the load order puts native first).
#include <windows.h>

#include <string>
#include <vector>

struct StagedSaver {
    std::string folder;
    std::string saverPath;  // the copy of corvantis.scr
    std::string logPath;    // a log file in the folder, for the double (not yet existing)
};

// doubleVariant names a folder under bin/doubles ("verify", "mpr", ...); its files are copied.
StagedSaver StageSaver(const char* doubleVariant);
// Deletes the folder and everything in it.
void RemoveStagedSaver(const StagedSaver& staged);

std::vector<std::string> ReadLines(const std::string& path);
