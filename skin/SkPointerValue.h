// Reading handles and addresses that owners hand to items as attribute
// text: decimal, as wide as a pointer on this build.
#pragma once

#include <windows.h>

// The decimal value of text, with an optional sign, read up to the first
// character that is not a digit; 0 for none. A negative value wraps, so a
// handle written signed reads back the same.
UINT_PTR ParsePointerValue(const char* text);
