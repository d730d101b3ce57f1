// Text helpers shared across the program (and compiled into the updater).
#pragma once

#include "base/RefString.h"

#include <vector>

// Decodes UTF-8. Decoding ends, keeping what came before, at a byte that
// cannot start a character and at a form cut short by the end of the input.
// Characters beyond U+FFFF become surrogate pairs.
CString Utf8ToString(const char* bytes, int length);
CString Utf8ToStringZ(const char* bytes);

// Splits text at every occurrence of separator (case-sensitive) into out;
// empty pieces become filler. With a maximum count N other than 0 there are at
// most N pieces, the last one holding the rest of the text. The last piece is
// always present. An empty separator gives the whole text as one piece.
void SplitString(const CString& text, const CString& separator, std::vector<CString>& out, int maxCount,
                 const CString& filler);

// True for a non-empty text of the digits 0 to 9 only.
bool IsAllDigits(const CString& text);
