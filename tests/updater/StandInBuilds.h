// The stand-ins that the updater's tests install and update: the builds of
// a main program (it loads Dunmere.dll and waits) and of the download
// library, old and new, read from this build's bin folder.
#pragma once

#include "tests/support/TempFolder.h"

#include <windows.h>

#include <string>

// The folder of the running test program, with a trailing backslash.
inline CString BinFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const CString program = path;
    return program.Left(program.ReverseFind(L'\\') + 1);
}

inline std::string BinFile(const wchar_t* name)
{
    return ReadFileBytes(BinFolder() + name);
}

// The installed builds of the stand-in program and library, and the builds
// an update brings.
struct Builds {
    std::string oldProgram = BinFile(L"updater_running_program.exe");
    std::string newProgram = BinFile(L"updater_running_program_new.exe");
    std::string oldLibrary = BinFile(L"updater_library_old.dll");
    std::string newLibrary = BinFile(L"updater_library_new.dll");
};

inline const Builds& Programs()
{
    static const Builds builds;
    return builds;
}
