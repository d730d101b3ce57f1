// Text conversions of the XML document wrapper. The documents hold UTF-8;
// the wrapper's read operations hand texts out in the ANSI code page.
#pragma once

#include "base/RefString.h"

#include <string>

// UTF-8 to the thread's ANSI code page (characters it cannot hold are lost).
std::string Utf8ToAnsiString(const std::string& utf8);
// Wide text to UTF-8.
std::string ToUtf8String(const CString& text);
// Wide text to the thread's ANSI code page.
std::string ToAnsiString(const CString& text);
// The thread's ANSI code page to UTF-8.
std::string AnsiToUtf8String(const std::string& ansi);
