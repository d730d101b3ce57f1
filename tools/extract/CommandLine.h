// The extractor's command line:
//   Extract.dll x "archive" -o"folder" *.* -r -y [-ppassword]
#pragma once

#include "base/RefString.h"

#include <optional>
#include <vector>

struct ExtractCommand {
    CString archive;
    CString folder;
    CString password; // empty: none
};

// Splits a raw command line into words: blanks separate words, each double
// quote toggles quoting and is dropped, backslashes are plain characters. So
// -o"C:\app\Temp\" is the word -oC:\app\Temp\ and a quoted blank stays in its
// word.
std::vector<CString> SplitCommandLine(const wchar_t* commandLine);

// Reads the words after the program name; nothing when they are not an
// extract command this program understands.
std::optional<ExtractCommand> ParseExtractCommand(const std::vector<CString>& words);
