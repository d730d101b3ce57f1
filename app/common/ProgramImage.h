// Telling a program file that can run from one that only bears its name.
#pragma once

#include "base/RefString.h"

enum class ProgramImageKind {
    Program, // an .exe
    Library, // a .dll
};

// True when path is a file (not a folder) holding a whole PE image of the
// machine this build runs on: its headers parse, every section lies inside
// the file, it is of the kind asked for, and it carries a version resource.
// An empty file, a web page or a cut-off program are none.
bool IsWholeProgramImage(const CString& path, ProgramImageKind kind);
