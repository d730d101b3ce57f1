// The sign that a program started by a test ended normally: the test
// build's programs write the file named in RAVONYX_EXIT_MARK as their C
// runtime ends them (ExitMarkWriter.c), which a crash, a stack overflow or
// ExitProcess never does. Under Wine such an end can still give exit code 0.
#pragma once

#include <windows.h>

#include "base/RefString.h"

// What CheckedExitCode gives for a program that ended without its mark.
constexpr DWORD kEndedWithoutMark = 0xE0DEAD00;

class CExitMark {
public:
    // A fresh name in the temporary folder; no file yet.
    CExitMark();
    CExitMark(const CExitMark&) = delete;
    CExitMark& operator=(const CExitMark&) = delete;
    ~CExitMark();

    // Names the mark in this process's environment, from where the next
    // program started inherits it, and takes the name away again.
    void Arm() const;
    static void Disarm();
    bool Seen() const;

private:
    CString m_path;
};

// The exit code of an ended process when it left its mark; otherwise a test
// failure naming the program, and kEndedWithoutMark.
DWORD CheckedExitCode(HANDLE process, const CExitMark& mark, const char* program);
